# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader gets: each program on its own X server, read through
AT-SPI with pyatspi, the library the Orca screen reader is built on.

Run inside a private session bus:
    dbus-run-session -- /usr/bin/python3 atspi_test.py SARVEL11 SARVEL6
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

JAPANESE = range(0x3040, 0xA000)
failures = []
passes = 0


def check(ok, what):
    global passes
    if ok:
        passes += 1
    else:
        failures.append(what)
        print("FAIL:", what, flush=True)


def japanese(text):
    return any(ord(c) in JAPANESE for c in text or "")


# Description changes as a screen reader hears them: (role, name) of each
# object that announced one.
announced = []


def on_description(event):
    try:
        announced.append((event.source.getRole(), event.source.name))
    except Exception:  # the object may be gone already
        pass


def pump(seconds):
    """Lets libatspi deliver events for a while."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(get, seconds=15):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = get()
        if value:
            return value
        pump(0.1)
    return None


def picture_announcements():
    return sum(1 for role, name in announced
               if role == pyatspi.ROLE_IMAGE and name == "波の図")


def start_x_server():
    read_fd, write_fd = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
         "-nolisten", "tcp", "-dpi", "96"],
        pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_fd, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_fd)
    return server, ":" + number.decode().strip()


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find_app(name):
    def look():
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name and app.childCount > 0:
                return app
        return None
    return wait_for(look)


def by_name(frame, role, name):
    for node in descendants(frame):
        if node.getRole() == role and node.name == name:
            return node
    return None


def press(button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("Press" in names, f"{button.name}: no Press action in {names}")
    if "Press" in names:
        action.doAction(names.index("Press"))


def settles(get, expected_part, seconds=5):
    """Waits until get() contains expected_part; returns the last value."""
    value = wait_for(lambda: (lambda v: v if expected_part in v else None)(get()),
                     seconds)
    return value if value is not None else get()


def start_program(path, display, language):
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               LANGUAGE=language)
    return subprocess.Popen([path], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)


def read_in_english(path, display):
    """A desktop in English: the program speaks English, and says so."""
    program = os.path.basename(path)
    process = start_program(path, display, "en_GB:en")
    try:
        app = find_app(program)
        frame = app and wait_for(lambda: next(
            (c for c in app if c is not None and c.getRole() == pyatspi.ROLE_FRAME),
            None))
        check(frame is not None and frame.name == "Wave interference",
              f"{program} in English: window named {frame and frame.name!r}")
        if frame is None:
            return
        button = by_name(frame, pyatspi.ROLE_PUSH_BUTTON, "Antinodal")
        check(button is not None and button.description.startswith(
            "Show or hide the antinodal lines. Now "),
              f"{program} in English: Antinodal reads "
              f"{button and button.description!r}")
        picture = by_name(frame, pyatspi.ROLE_IMAGE, "Wave picture")
        check(picture is not None and not japanese(picture.description),
              f"{program} in English: picture {picture and picture.description!r}")
    finally:
        process.terminate()
        process.communicate(timeout=10)


def read_program(path, display, full):
    program = os.path.basename(path)
    # A Japanese classroom's desktop.
    process = start_program(path, display, "ja")
    try:
        app = find_app(program)
        check(app is not None, f"{program}: not on the accessibility bus")
        if app is None:
            return
        frame = wait_for(lambda: next(
            (c for c in app if c is not None and c.getRole() == pyatspi.ROLE_FRAME),
            None))
        check(frame is not None, f"{program}: no window")
        if frame is None:
            return
        wanted_name = "波の干渉" if full else "波の干渉（六ボタン版）"
        check(frame.name == wanted_name, f"{program}: window named {frame.name!r}")

        # Every control: role, Japanese name and description.
        buttons = ["腹線", "節線", "駒送り", "山と谷", "リセット", "自動/手動"]
        if full:
            buttons.append("位相")
        controls = [(pyatspi.ROLE_PUSH_BUTTON, b) for b in buttons]
        controls += [(pyatspi.ROLE_TEXT, t) for t in ("波長", "距離", "点の大きさ")]
        controls += [(pyatspi.ROLE_SCROLL_BAR, "速さ"), (pyatspi.ROLE_IMAGE, "波の図")]
        for role, name in controls:
            node = by_name(frame, role, name)
            check(node is not None, f"{program}: no {pyatspi.Accessible.getRoleName(node) if node else role} named {name}")
            if node is not None:
                check(japanese(node.description),
                      f"{program}: {name} has no Japanese description")

        # Each box and the bar are labelled by their label.
        for role, name in ((pyatspi.ROLE_TEXT, "波長"), (pyatspi.ROLE_TEXT, "距離"),
                           (pyatspi.ROLE_TEXT, "点の大きさ"),
                           (pyatspi.ROLE_SCROLL_BAR, "速さ")):
            node = by_name(frame, role, name)
            if node is None:
                continue
            labels = [r.getTarget(0).name for r in node.getRelationSet()
                      if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
            check(labels == [name], f"{program}: {name} labelled by {labels}")
        bar = by_name(frame, pyatspi.ROLE_SCROLL_BAR, "速さ")
        if bar is not None:
            value = bar.queryValue()
            check((value.currentValue, value.minimumValue, value.maximumValue)
                  == (800, 100, 1000),
                  f"{program}: speed bar value {value.currentValue} "
                  f"in {value.minimumValue}..{value.maximumValue}")

        # The picture's description, before and after the switches.
        picture = by_name(frame, pyatspi.ROLE_IMAGE, "波の図")
        antinodal = by_name(frame, pyatspi.ROLE_PUSH_BUTTON, "腹線")
        step = by_name(frame, pyatspi.ROLE_PUSH_BUTTON, "駒送り")
        run = by_name(frame, pyatspi.ROLE_PUSH_BUTTON, "自動/手動")
        if None in (picture, antinodal, step, run):
            return
        press(run)  # stopped: only presses change the picture
        check(settles(lambda: run.description, "止まっている").endswith("いまは止まっている"),
              f"{program}: 自動/手動 reads {run.description!r}")
        press(step)
        before = settles(lambda: picture.description, "波長 2")
        check(before.startswith("波長 2、波源の距離 6（波長の 3 倍）、同位相。腹線は非表示。"),
              f"{program}: picture before: {before!r}")
        # A step that changes no setting is not announced; a switch is.
        pump(0.5)
        heard = picture_announcements()
        press(step)
        pump(0.5)
        check(picture_announcements() == heard,
              f"{program}: a step without a new setting was announced")
        press(antinodal)
        check(wait_for(lambda: picture_announcements() > heard, 5),
              f"{program}: 腹線 did not announce the picture")
        after = settles(lambda: picture.description, "腹線 7 本")
        check("腹線 7 本（経路差 0、±1、±2、±3 波長）を表示中。" in after,
              f"{program}: picture after 腹線: {after!r}")
        state = settles(lambda: antinodal.description, "表示中")
        check(state.endswith("いまは表示中"), f"{program}: 腹線 reads {state!r}")
        if full:
            phase = by_name(frame, pyatspi.ROLE_PUSH_BUTTON, "位相")
            press(phase)
            after = settles(lambda: picture.description, "逆位相")
            check("逆位相。腹線 6 本（経路差 ±0.5、±1.5、±2.5 波長）" in after,
                  f"{program}: picture after 位相: {after!r}")
            check(settles(lambda: phase.description, "逆位相").endswith("いまは逆位相"),
                  f"{program}: 位相 reads {phase.description!r}")
            check(wait_for(lambda: by_name(frame, pyatspi.ROLE_LABEL, "逆位相"), 5)
                  is not None, f"{program}: the phase label does not read 逆位相")

        # The point P, by the keyboard on a focused button: P places it
        # between the sources, an arrow moves it, Esc removes it; each is
        # heard as the picture's description with the readout.
        step.queryComponent().grabFocus()
        pump(0.3)
        readings = {}
        for key, expected, what in (("p", "点 P: AP = ", "P"),
                                    ("Right", "点 P: AP = ", "the right arrow"),
                                    ("Escape", None, "Esc")):
            heard = picture_announcements()
            before = picture.description
            subprocess.run(["xdotool", "key", key], env=dict(os.environ, DISPLAY=display),
                           check=False)
            check(wait_for(lambda: picture_announcements() > heard, 5),
                  f"{program}: {what} was not announced")
            if expected is None:
                now = wait_for(lambda: (lambda d: d if "点 P" not in d else None)(
                    picture.description), 5)
                check(now is not None, f"{program}: P stays after {what}")
            else:
                now = settles(lambda: picture.description, expected)
                check(expected in now and now != before,
                      f"{program}: after {what}: {now!r}")
                readings[what] = now
        # A frame or two in, neither front has reached P: heard so.
        wanted = "弱め合う（節線 m = 0）" if full else "強め合う（腹線 m = 0）"
        check("|AP − BP| = 0.00λ → 両方届くと" + wanted +
              "。A と B の波はまだ P に届いていない" in readings.get("P", ""),
              f"{program}: P between the sources reads {readings.get('P')!r}")
        # Two pixels right, 0.06λ off the line: beyond the tolerance.
        check("→ 両方届くとその間" in readings.get("the right arrow", ""),
              f"{program}: P moved reads {readings.get('the right arrow')!r}")
    finally:
        process.terminate()
        try:
            _, err = process.communicate(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            _, err = process.communicate()
        if failures and err:
            print(err.decode(errors="replace"), file=sys.stderr)


def main():
    pyatspi.Registry.registerEventListener(
        on_description, "object:property-change:accessible-description")
    server, display = start_x_server()
    try:
        read_program(sys.argv[1], display, full=True)
        read_program(sys.argv[2], display, full=False)
        read_in_english(sys.argv[1], display)
    finally:
        server.terminate()
        server.wait()
    print(f"{passes} passed, {len(failures)} failed")
    return 1 if failures or passes == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
