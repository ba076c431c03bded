// SPDX-License-Identifier: MIT
// Reading CSV files of other programs: which format a header is, and what
// each program's file gives, quirks and all.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "TestEncoding.h"
#include "Transfer.h"
#include "importexport/CsvFormats.h"

namespace ombrel {
namespace {

using ::testing::HasSubstr;
using testing::line;

TEST(HeaderTest, RecognisesEachProgramByItsColumns) {
  struct Case {
    const char* header;
    std::optional<std::string> source;
    QStringList dropped;
  } cases[] = {
      {R"("Group","Title","Username","Password","URL","Notes","TOTP","Icon","Last Modified","Created")",
       "KeePassXC",
       {"Group", "Icon", "Last Modified", "Created"}},
      {R"("Group","Title","Username","Password","URL","Notes")", "KeePassXC", {"Group"}},
      // Order and case do not matter; the names are given back as written.
      {"notes,URL,password,USERNAME,title,group", "KeePassXC", {"group"}},
      {"folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,"
       "login_totp",
       "Bitwarden",
       {"folder", "favorite", "reprompt"}},
      {"folder,favorite,type,name,notes,fields,login_uri,login_username,login_password,login_totp",
       "Bitwarden",
       {"folder", "favorite"}},
      {"Title,Url,Username,Password,OTPAuth,Favorite,Archived,Tags,Notes",
       "1Password",
       {"Favorite", "Archived", "Tags"}},
      // LastPass's columns hold all of Chrome's; LastPass is tried first.
      {"url,username,password,totp,extra,name,grouping,fav", "LastPass", {"grouping", "fav"}},
      {"url,username,password,extra,name,grouping,fav", "LastPass", {"grouping", "fav"}},
      {R"("url","username","password","httpRealm","formActionOrigin","guid","timeCreated","timeLastUsed","timePasswordChanged")",
       "Firefox",
       {"httpRealm", "formActionOrigin", "guid", "timeCreated", "timeLastUsed",
        "timePasswordChanged"}},
      {"name,url,username,password,note", "Chrome", {}},
      {"name,url,username,password", "Chrome", {}},
      // Columns beyond a format's own are left out too, each named once.
      // Columns beyond a format's own hold data for the notes, unless they
      // are bookkeeping.
      {"name,url,username,password,note,extra1,Folder", "Chrome", {"Folder"}},
      // KeePassXC's without Group is no KeePassXC file, but any spreadsheet's.
      {"Title,Username,Password,URL,Notes", "CSV", {}},
      {"Password,Site,URL,UserName,Title,Notes,Note", "CSV", {}},
      // A header with more columns than Chrome's is never taken for Chrome's.
      {"name,url,username,password,note,cardholdername,cardnumber,cvc,expirydate,zipcode,"
       "folder,full_name,phone_number,email,address1,address2,city,country,state",
       "NordPass",
       {"folder"}},
      {"type,name,url,email,username,password,note,totp,createTime,modifyTime,vault",
       "Proton Pass",
       {"type", "createTime", "modifyTime", "vault"}},
      {"url,user,password", std::nullopt, {}},
      {"a,b,c", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    const ImportPlan plan = testing::planOf(std::string(c.header) + "\n");
    EXPECT_EQ(plan.result.ok(), c.source.has_value()) << c.header;
    if (!c.source) continue;
    EXPECT_EQ(plan.format->name, *c.source) << c.header;
    EXPECT_EQ(plan.dropped, c.dropped) << c.header;
  }
}

// A file without a header looks like one with an unknown header: its first
// line may be a login, so none of its fields is repeated.
TEST(HeaderTest, AnUnknownHeaderSaysWhatItLacksAndNeverRepeatsTheLine) {
  const ImportPlan plan = testing::planOf("x.example,Username,Secret7pw\nx.example,bob,pw\n");
  EXPECT_EQ(plan.result.message(),
            "in.csv: the first line has 3 columns and lacks the columns url and password, so "
            "it is no header of the formats Ombrel knows: the CSV files of KeePassXC, "
            "Bitwarden, 1Password, LastPass, Firefox, Chrome, KeePass, RoboForm, NordPass, Apple "
            "Passwords and Proton Pass, and any file with the columns url, username and password "
            "(and perhaps title or name, and notes or note).\n\n"
            "Nothing was imported.");
  EXPECT_TRUE(plan.records.empty());
  EXPECT_THAT(testing::planOf("").result.message().toStdString(),
              HasSubstr("in.csv: the file is empty"));
}

// One sample for each program, written as its exporter writes it.
TEST(SampleFileTest, EachProgramsFileGivesItsLogins) {
  struct Case {
    const char* what;
    std::string csv;
    std::string records;
    std::string source;
    std::size_t folderRows = 0;
  } cases[] = {
      {"KeePassXC 2.7: every field quoted, LF, a TOTP column",
       "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\","
       "\"Last Modified\",\"Created\"\n"
       "\"Root/Web/Banks\",\"Bank\",\"bob\",\"pa\"\"ss\",\"https://bank.example/\",\"one, two\n"
       "three\",\"otpauth://totp/b?secret=AB\",\"0\",\"2026-01-01T00:00:00Z\",\"\"\n"
       "\"Root\",\"No address\",\"x\",\"y\",\"\",\"\",\"\",\"0\",\"\",\"\"\n",
       line("https://bank.example/", "bob", "pa\"ss",
            "Title: Bank\r\none, two\r\nthree\r\nTOTP: otpauth://totp/b?secret=AB") +
           line("No address", "x", "y", ""),
       "KeePassXC"},
      {"an older KeePassXC: CR LF, no line end after the last line",
       "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\r\n"
       "\"Root\",\"Mail\",\"m\",\"p\",\" mail.example \",\"a\r\nb\"",
       line("mail.example", "m", "p", "Title: Mail\r\na\r\nb"), "KeePassXC"},
      {"Bitwarden: quoted only where needed, several addresses, custom fields, a secure note",
       "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,"
       "login_password,login_totp\r\n"
       "Work,1,login,Mail,\"a note, with a comma\",\"pin: 1234\nquestion: blue\",0,"
       "\"https://mail.example/,https://webmail.example/\",bob,\"p\"\"w\",JBSWY3DP\r\n"
       ",,note,Safe code,left of the door,,0,,,,\r\n",
       line("https://mail.example/", "bob", "p\"w",
            "Title: Mail\r\na note, with a comma\r\npin: 1234\r\nquestion: blue\r\n"
            "URL: https://webmail.example/\r\nTOTP: JBSWY3DP") +
           line("Safe code", nullptr, nullptr, "left of the door"),
       "Bitwarden"},
      {"Chrome: quoted only where needed, no line end after the last line",
       "name,url,username,password,note\n"
       "example.com,https://example.com/login,alice,\"a,b\",\n"
       "mail.example,http://mail.example/,  bob  ,\" s \",\"two\nlines\"",
       line("https://example.com/login", "alice", "a,b", "") +
           line("mail.example", "  bob  ", " s ", "two\r\nlines"),
       "Chrome"},
      {"an older Chrome, with a byte-order mark",
       "\xEF\xBB\xBFname,url,username,password\r\nshop,https://shop.example/,c,d\r\n",
       line("https://shop.example/", "c", "d", "Title: shop"), "Chrome"},
      {"Firefox: empty fields unquoted",
       "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\","
       "\"timeCreated\",\"timeLastUsed\",\"timePasswordChanged\"\r\n"
       "\"https://a.example\",\"alice\",\"pw\",,\"https://a.example\",\"{1}\",\"1\",\"2\",\"3\"\r\n"
       "\"https://b.example\",,\"pw2\",,,\"{2}\",\"1\",\"2\",\"3\"\r\n",
       line("https://a.example", "alice", "pw", "") + line("https://b.example", nullptr, "pw2", ""),
       "Firefox"},
      {"LastPass: a secure note at http://sn",
       "url,username,password,totp,extra,name,grouping,fav\n"
       "https://shop.example/,carol,pw,,,Shop,Shopping,0\n"
       "http://sn,,,,\"NoteType:Server\nHostname:x\",Server,Secure Notes,0\n",
       line("https://shop.example/", "carol", "pw", "Title: Shop") +
           line("Server", nullptr, nullptr, "NoteType:Server\r\nHostname:x"),
       "LastPass"},
      {"1Password 8: an archived item",
       "Title,Url,Username,Password,OTPAuth,Favorite,Archived,Tags,Notes\n"
       "Router,192.168.1.1,admin,admin1,otpauth://totp/r,false,true,home,on the shelf\n",
       line("192.168.1.1", "admin", "admin1",
            "Title: Router\r\non the shelf\r\nTOTP: otpauth://totp/r"),
       "1Password"},
      {"a spreadsheet saved as Windows-1252",
       "Password,URL,UserName,Title,Extra\r\npa\x80ss,www.shop.example,d\x96,Shop,x\r\n",
       line("www.shop.example", "d\x96", "pa\x80ss", "Title: Shop\r\nExtra: x"), "CSV"},
      {"KeePass 2: every field quoted",
       "\"Account\",\"Login Name\",\"Password\",\"Web Site\",\"Comments\"\r\n"
       "\"Work mail\",\"ann\",\"pw\",\"https://mail.example.com\",\"desk\"\r\n",
       line("https://mail.example.com", "ann", "pw", "Title: Work mail\r\ndesk"), "KeePass"},
      {"RoboForm: its fields column repeats the login",
       "Name,Url,Login,Pwd,Note,Folder,Rf_fields\n"
       "Bank,https://bank.example/,bob,pw,,/Money,\"User ID$:txt:bob\"\n",
       line("https://bank.example/", "bob", "pw", "Title: Bank"), "RoboForm"},
      {"NordPass: a folder row, a login in it and a card",
       "name,url,username,password,note,cardholdername,cardnumber,cvc,expirydate,zipcode,folder,"
       "full_name,phone_number,email,address1,address2,city,country,state\n"
       "Banks,,,,,,,,,,,,,,,,,,\n"
       "bank.example,https://bank.example/,bob,pw,,,,,,,Banks,,,,,,,,\n"
       "Visa,,,,,Bob B,4111 1111,123,12/29,,Banks,,,,,,,,\n",
       line("https://bank.example/", "bob", "pw", "") +
           line("Visa", nullptr, nullptr,
                "cardholdername: Bob B\r\ncardnumber: 4111 1111\r\ncvc: 123\r\n"
                "expirydate: 12/29"),
       "NordPass", 1},
      {"NordPass with a type column",
       "name,url,username,password,note,cardholdername,cardnumber,cvc,expirydate,zipcode,folder,"
       "full_name,phone_number,email,address1,address2,city,country,state,type\n"
       "Empty,,,,,,,,,,,,,,,,,,,folder\n"
       "a.example,https://a.example/,u,p,,,,,,,,,,,,,,,,password\n",
       line("https://a.example/", "u", "p", ""), "NordPass", 1},
      {"an older Firefox: hostname",
       "hostname,username,password,formSubmitURL,httpRealm,usernameField,passwordField\n"
       "https://a.example,alice,pw,https://a.example,,user,pass\n",
       line("https://a.example", "alice", "pw", ""), "Firefox"},
      {"Apple Passwords",
       "Title,URL,Username,Password,Notes,OTPAuth\n"
       "a.example (alice),https://a.example/,alice,pw,,otpauth://totp/a\n",
       line("https://a.example/", "alice", "pw",
            "Title: a.example (alice)\r\nTOTP: otpauth://totp/a"),
       "Apple Passwords"},
      {"Proton Pass: an e-mail beside the user name",
       "type,name,url,email,username,password,note,totp,createTime,modifyTime,vault\n"
       "login,Shop,https://shop.example/,bob@mail.example,,pw,,,1,2,Personal\n",
       line("https://shop.example/", nullptr, "pw", "Title: Shop\r\nemail: bob@mail.example"),
       "Proton Pass"},
      {"a spreadsheet with a one-time-password column",
       "url,username,password,OTPAuth\na.example,u,p,otpauth://totp/x\n",
       line("a.example", "u", "p", "OTPAuth: otpauth://totp/x"), "CSV"},
      {"UTF-8 without a byte-order mark",
       "url,username,password\n\xE2\x80\x93.example,\xE2\x80\x98x,\xE2\x82\xAC\n",
       line("\x96.example", "\x91x", "\x80", ""), "CSV"},
  };
  for (const Case& c : cases) {
    const ImportPlan plan = testing::planOf(c.csv);
    EXPECT_TRUE(plan.result.ok()) << c.what << ": " << plan.result.message().toStdString();
    EXPECT_EQ(plan.format->name, c.source) << c.what;
    EXPECT_EQ(testing::added(plan), c.records) << c.what;
    EXPECT_EQ(plan.skipped, 0u) << c.what;
    EXPECT_EQ(plan.folderRows, c.folderRows) << c.what;
  }
}

TEST(SampleFileTest, AFileThatIsNotWholeIsRefusedNamingTheLine) {
  struct Case {
    std::string csv;
    QString problem;
  } cases[] = {
      {"url,username,password\nhttps://a/,u,p\n\n\"https://b/,u,p\nmore\nlines\n",
       "in.csv: the quoted field that opens on line 4 is never closed.\n\n"
       "Nothing was imported."},
      // A field closed and another opened on the same line.
      {"url,username,password\n\"https://a/\nb\",\"u\n",
       "in.csv: the quoted field that opens on "
       "line 3 is never closed.\n\n"
       "Nothing was imported."},
      {"url,username,password\r\nhttps://a/,u\"v,p\r\n",
       "in.csv: line 2 is not valid CSV: a quote stands inside a field that is not quoted, or "
       "after the quote that closes one.\n\nNothing was imported."},
  };
  for (const Case& c : cases) {
    const ImportPlan plan = testing::planOf(c.csv);
    EXPECT_EQ(plan.result.message(), c.problem) << c.csv;
  }
}

}  // namespace
}  // namespace ombrel
