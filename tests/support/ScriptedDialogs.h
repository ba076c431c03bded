// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <stdexcept>
#include <vector>

#include "interfaces/Dialogs.h"

namespace ombrel::testing {

// Dialogs that answer from a script and record what was asked. A question
// with no scripted answer fails the test loudly instead of blocking.
class ScriptedDialogs : public Dialogs {
 public:
  struct Message {
    QString text;
    int style;
    QString title;
  };
  struct Prompt {
    QString prompt;
    QString title;
    bool password;  // asked with passwordBox
  };

  // Answers for the next message boxes (kYes, kNo, kOk) and prompts of
  // either kind.
  void answerMessage(int button) { messageAnswers_.push_back(button); }
  void answerInput(const QString& text) { inputAnswers_.push_back(text); }

  int messageBox(const QString& text, int style, const QString& title = QString()) override {
    messages.push_back({text, style, title});
    if (messageAnswers_.empty()) {
      if (style == kConfirm) throw std::logic_error("unscripted question: " + text.toStdString());
      return kOk;  // boxes with only an OK button need no script
    }
    int answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
  }

  QString inputBox(const QString& prompt, const QString& title) override {
    return ask({prompt, title, false});
  }
  QString passwordBox(const QString& prompt, const QString& title) override {
    return ask({prompt, title, true});
  }

  bool allAnswered() const { return messageAnswers_.empty() && inputAnswers_.empty(); }

  // The texts of the messages that report a failure, as opposed to questions
  // and notices.
  std::vector<QString> warnings() const {
    std::vector<QString> texts;
    for (const Message& message : messages)
      if (message.style == kWarningOk || message.style == kCriticalOk)
        texts.push_back(message.text);
    return texts;
  }

  std::vector<Message> messages;
  std::vector<Prompt> prompts;

 private:
  QString ask(const Prompt& asked) {
    prompts.push_back(asked);
    if (inputAnswers_.empty())
      throw std::logic_error("unscripted prompt: " + asked.prompt.toStdString());
    QString answer = inputAnswers_.front();
    inputAnswers_.pop_front();
    return answer;
  }

  std::deque<int> messageAnswers_;
  std::deque<QString> inputAnswers_;
};

}  // namespace ombrel::testing
