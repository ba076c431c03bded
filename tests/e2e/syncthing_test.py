#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Two data directories kept in step by a real Syncthing pair on 127.0.0.1,
with a real program on each.

Usage: syncthing_test.py PATH_TO_OMBREL [--artifacts DIR] [-k SUBSTRING]

Starts two Syncthing instances with homes and ports of their own, global
discovery, local discovery and relays off, each knowing the other's device
and sharing one folder with it: a data directory each. Waits poll the
Syncthing REST API or the files with bounded time, never fixed sleeps.
"""

import copy
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_test as e2e  # noqa: E402
import two_windows_test as tw  # noqa: E402
from e2e_test import CaseFailure, expect, record  # noqa: E402

FOLDER = "ombrel-data"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def poll(condition, what, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.2)
    raise CaseFailure(f"no {what} within {timeout} s")


class Syncthing:
    """One Syncthing instance with its own home, sharing `folder`."""

    def __init__(self, root, name, folder):
        self.home = os.path.join(root, name)
        self.folder = folder
        self.gui_port, self.listen_port = free_port(), free_port()
        out = subprocess.run(
            ["syncthing", "generate", f"--home={self.home}", "--no-default-folder"],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, check=True,
            env=self._env()).stdout
        self.device_id = next(line.split(":", 1)[1].strip() for line in out.splitlines()
                              if line.startswith("Device ID:"))
        self.config = os.path.join(self.home, "config.xml")
        self.api_key = ET.parse(self.config).getroot().find("gui/apikey").text
        self.process = None

    def _env(self):
        return {**os.environ, "HOME": self.home, "STNOUPGRADE": "1", "STNODEFAULTFOLDER": "1"}

    def configure(self, peer, dial):
        """Offline: no discovery, no relays; the peer at its 127.0.0.1 port.
        Only one side dials (`dial`), so that the two never open two
        connections at once and drop one of them."""
        tree = ET.parse(self.config)
        root = tree.getroot()
        options = root.find("options")
        for key, value in {
            "listenAddress": f"tcp://127.0.0.1:{self.listen_port}",
            "globalAnnounceEnabled": "false", "localAnnounceEnabled": "false",
            "relaysEnabled": "false", "natEnabled": "false", "startBrowser": "false",
            "urAccepted": "-1", "autoUpgradeIntervalH": "0", "crashReportingEnabled": "false",
            "reconnectionIntervalS": "1",
        }.items():
            options.find(key).text = value
        device = ET.SubElement(root, "device", id=peer.device_id, name="peer",
                               compression="metadata", introducer="false")
        ET.SubElement(device, "address").text = (
            f"tcp://127.0.0.1:{peer.listen_port}" if dial else "dynamic")
        # From the defaults, which keep conflict copies (a folder element
        # written from scratch would keep none).
        folder = copy.deepcopy(root.find("defaults/folder"))
        for device in folder.findall("device"):
            folder.remove(device)
        folder.attrib.update(id=FOLDER, label=FOLDER, path=self.folder, type="sendreceive",
                             fsWatcherEnabled="true", fsWatcherDelayS="1")
        root.append(folder)
        for device_id in (self.device_id, peer.device_id):
            ET.SubElement(folder, "device", id=device_id)
        tree.write(self.config)
        os.makedirs(os.path.join(self.folder, ".stfolder"), exist_ok=True)

    def start(self, log):
        self.process = subprocess.Popen(
            ["syncthing", "serve", f"--home={self.home}", "--no-browser", "--no-restart",
             f"--gui-address=127.0.0.1:{self.gui_port}"],
            env=self._env(), stdout=log, stderr=subprocess.STDOUT, start_new_session=True)

    def stop(self):
        if self.process is not None:
            e2e.kill_group(self.process)

    def rest(self, path, method="GET"):
        request = urllib.request.Request(f"http://127.0.0.1:{self.gui_port}{path}",
                                         method=method, headers={"X-API-Key": self.api_key})
        try:
            with urllib.request.urlopen(request, timeout=5) as response:
                body = response.read()
        except (urllib.error.URLError, ConnectionError, socket.timeout):
            return None
        return json.loads(body) if body else {}

    def connected_to(self, peer):
        connections = self.rest("/rest/system/connections") or {}
        return connections.get("connections", {}).get(peer.device_id, {}).get("connected", False)

    def in_sync_with(self, peer):
        """The peer has everything this side has, and this side needs nothing."""
        completion = self.rest(f"/rest/db/completion?folder={FOLDER}&device={peer.device_id}")
        status = self.rest(f"/rest/db/status?folder={FOLDER}")
        return (completion is not None and status is not None
                and completion.get("completion") == 100
                and status.get("state") == "idle" and status.get("needFiles") == 0)


class Pair:
    def __init__(self, a_dir, b_dir):
        self.root = tempfile.mkdtemp(prefix="ombrel-syncthing-")
        self.a = Syncthing(self.root, "a", a_dir)
        self.b = Syncthing(self.root, "b", b_dir)
        self.a.configure(self.b, dial=True)
        self.b.configure(self.a, dial=False)
        self.log = open(os.path.join(self.root, "syncthing.log"), "wb")
        self.a.start(self.log)
        self.b.start(self.log)
        poll(lambda: self.a.connected_to(self.b) and self.b.connected_to(self.a),
             "Syncthing connection", 60)

    def in_sync(self):
        return self.a.in_sync_with(self.b) and self.b.in_sync_with(self.a)

    def pause(self):
        self.a.rest(f"/rest/system/pause?device={self.b.device_id}", "POST")
        self.b.rest(f"/rest/system/pause?device={self.a.device_id}", "POST")
        poll(lambda: not self.a.connected_to(self.b) and not self.b.connected_to(self.a),
             "pause of the link", 30)

    def scan(self):
        """Has both sides look at their folders now; a change not yet seen
        by a side would hold its sync back for a minute."""
        for side in (self.a, self.b):
            side.rest(f"/rest/db/scan?folder={FOLDER}", "POST")

    def resume(self):
        self.a.rest(f"/rest/system/resume?device={self.b.device_id}", "POST")
        self.b.rest(f"/rest/system/resume?device={self.a.device_id}", "POST")
        poll(lambda: self.a.connected_to(self.b) and self.b.connected_to(self.a),
             "Syncthing reconnection", 60)

    def stop(self, keep_log_of_failure=False):
        self.a.stop()
        self.b.stop()
        self.log.close()
        if keep_log_of_failure:
            with open(os.path.join(self.root, "syncthing.log"), "rb") as f:
                print("     syncthing log (last lines):\n"
                      + "\n".join(f.read().decode("utf-8", "replace").splitlines()[-30:]))
        shutil.rmtree(self.root, ignore_errors=True)


def listed_second(app, window):
    """The title of the box that a Save of the list's second name shows, or
    None when nothing is there to save (no second name)."""
    top = e2e.menu_bar_height(app, window)
    app.click(window, tw.FIRST_NAME[0], top + tw.FIRST_NAME[1] + tw.ROW_HEIGHT)
    app.key(window, "ctrl+s")
    deadline = time.monotonic() + 1.5
    while time.monotonic() < deadline:
        for title in ("OverwriteFile", "Ombrel"):
            if app.find_windows(title):
                tw.answer(app, title)  # No: nothing is written
                return title
        time.sleep(0.1)
    return None


e2e.CASES.clear()  # only the cases of this file


@tw.with_peers
def synced_entries_reach_the_other_list_and_conflicts_merge(a, b):
    b_dir = os.path.join(b.root, "synced")
    os.mkdir(b_dir, 0o700)
    b.data_dir = b_dir
    first = record("aa.org", "a", "1", "")
    a.write_files({**e2e.fresh_install_files(), "passwords.dat": first})
    pair = Pair(a.data_dir, b.data_dir)
    failed = True
    try:
        poll(lambda: tw.records_in_dir(b.data_dir) == {first} and pair.in_sync(),
             "first sync", 60)
        main_a = tw.open_peer(a)
        main_b = tw.open_peer(b, x=640)

        # An entry added on one machine reaches the other's list.
        tw.new_entry(a, main_a, "synced.com", "s", "2")
        both = {first, record("synced.com", "s", "2", "")}
        poll(lambda: tw.records_in_dir(b.data_dir) == both and pair.in_sync(), "sync of New", 60)
        poll(lambda: listed_second(b, main_b) == "OverwriteFile",
             "the synced entry in the other list", 10)

        # Both machines add an entry while the link is down: Syncthing keeps
        # one version as a conflict copy, which the program offers to merge.
        pair.pause()
        tw.new_entry(a, main_a, "offline-a.com", "x", "3")
        tw.new_entry(b, main_b, "offline-b.com", "y", "4")
        everything = both | {record("offline-a.com", "x", "3", ""),
                             record("offline-b.com", "y", "4", "")}
        poll(lambda: len(tw.records_in_dir(a.data_dir)) == 3
             and len(tw.records_in_dir(b.data_dir)) == 3, "the offline entries", 10)
        pair.scan()
        pair.resume()
        last_scan = [time.monotonic()]

        def merged_everywhere():
            if time.monotonic() - last_scan[0] > 3:
                pair.scan()
                last_scan[0] = time.monotonic()
            for app in (a, b):
                if app.find_windows("Conflict Copy"):
                    tw.answer(app, "Conflict Copy", "alt+y")
            return (tw.records_in_dir(a.data_dir) == everything
                    and tw.records_in_dir(b.data_dir) == everything
                    and not conflict_copies(a.data_dir) and not conflict_copies(b.data_dir)
                    and pair.in_sync())

        poll(merged_everywhere, "a merge with no entry lost", 90)
        expect(any(n.endswith(".merged") for n in os.listdir(a.data_dir)),
               "the conflict copy was not set aside")
        failed = False
    finally:
        if failed:
            for app in (a, b):
                print(f"     {app.data_dir}: {sorted(os.listdir(app.data_dir))}, "
                      f"{len(tw.records_in(app))} records, "
                      f"questions: {app.find_windows('Conflict Copy')}")
        pair.stop(keep_log_of_failure=failed)


def conflict_copies(directory):
    return [n for n in os.listdir(directory) if ".sync-conflict-" in n and n.endswith(".dat")]


if __name__ == "__main__":
    e2e.REQUIRED_TOOLS.append("syncthing")
    sys.exit(e2e.main())
