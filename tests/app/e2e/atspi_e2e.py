"""The real program on a virtual X server, driven and read through AT-SPI alone,
as a screen reader user works it: Refresh, Init and Capture are pressed through
their accessible actions, and the results are read from the status bar's
accessible name; the About box is opened from its menu item and closed.
Run inside a D-Bus session of its own:

  dbus-run-session -- /usr/bin/python3 atspi_e2e.py --program tolvane-diag --sim tolvane-sim
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

TIMEOUT = 60  # seconds; the test build runs under AddressSanitizer


def fail(message):
    print("atspi_e2e: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(what, probe, timeout=TIMEOUT):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail("gave up waiting for " + what)


def start_x_server():
    """Xvfb on the first free display; the server and its display name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as announced:
        display = announced.readline().strip()
    if not display:
        server.kill()
        fail("Xvfb did not start (scripts/setup installs xvfb)")
    return server, ":" + display


def machine(sim, root):
    """An empty workstation with an R20 and the parallel reader attached."""
    environment = dict(os.environ, TOLVANE_SIM_ROOT=root)
    for command in (["init", "--empty"], ["plug", "HMX05-0"], ["plug", "parallel"]):
        subprocess.run([sim] + command, env=environment, check=True, stdout=subprocess.DEVNULL)
    return environment


def descendants(root):
    for child in root:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(root, role, name=None):
    for node in descendants(root):
        if node.getRole() == role and (name is None or node.name == name):
            return node
    return None


def current_name(node):
    node.clearCache()
    return node.name


def press(node):
    actions = node.queryAction()
    for index in range(actions.nActions):
        if actions.getName(index) in ("Press", "press", "click"):
            actions.doAction(index)
            return
    fail("no press action on " + node.name)


def end(program):
    """Asks the program to end as the system would; its exit code."""
    if program is None:
        return None
    program.send_signal(signal.SIGTERM)
    try:
        return program.wait(TIMEOUT)
    except subprocess.TimeoutExpired:
        program.kill()
        program.wait()
        return "no end within %d s of SIGTERM" % TIMEOUT


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--sim", required=True)
    arguments = parser.parse_args()

    with tempfile.TemporaryDirectory() as work:
        environment = machine(arguments.sim, os.path.join(work, "root"))
        server, display = start_x_server()
        program = None
        try:
            environment.update(DISPLAY=display, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=work)
            # The program joins the accessibility bus by itself, as it does for
            # a screen reader started at any time.
            environment.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
            program = subprocess.Popen([arguments.program], env=environment)
            os.environ["DISPLAY"] = display
            import pyatspi

            def application():
                for app in pyatspi.Registry.getDesktop(0):
                    if app is not None and app.name == os.path.basename(arguments.program):
                        return app
                return None

            app = wait_for("the program on the accessibility bus", application)
            status = wait_for("the status bar", lambda: find(app, pyatspi.ROLE_STATUS_BAR))
            found = re.compile(r"Select a fingerprint device and Click Init button\. [0-9]+ device\(s\) found\.")
            wait_for("the first Refresh", lambda: found.fullmatch(current_name(status)))

            # Refresh after a reader was plugged in unnoticed: Auto Refresh off.
            press(wait_for("Auto Refresh", lambda: find(app, pyatspi.ROLE_CHECK_MENU_ITEM, "Auto Refresh")
                           or find(app, pyatspi.ROLE_MENU_ITEM, "Auto Refresh")))
            time.sleep(0.5)
            subprocess.run([arguments.sim, "plug", "HMX04-0"], env=environment, check=True,
                           stdout=subprocess.DEVNULL)
            time.sleep(0.5)
            press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Refresh"))
            wait_for("Refresh to count two USB readers",
                     lambda: current_name(status) == "Select a fingerprint device and Click Init button. "
                                                    "2 device(s) found.")

            press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Init"))
            wait_for("Init", lambda: current_name(status) == "Device Initialization Success")

            capture = find(app, pyatspi.ROLE_PUSH_BUTTON, "Capture")
            wait_for("Capture enabled", lambda: capture.getState().contains(pyatspi.STATE_ENABLED))
            press(capture)
            wait_for("a capture", lambda: current_name(status).startswith("[Capture] time: "))

            # Pages beyond the window's visible area are read all the same.
            for role, name in ((pyatspi.ROLE_CHECK_BOX, "Enable Smart Capture"),
                               (pyatspi.ROLE_PUSH_BUTTON, "Reset CMOS"),
                               (pyatspi.ROLE_LABEL, "Installed Drivers")):
                if find(app, role, name) is None:
                    fail("no %s %r" % (role, name))
            # A menu command that opens a modal dialog answers the press at once.
            def shown_dialog():
                for node in app:
                    if node is not None and node.getRole() == pyatspi.ROLE_DIALOG:
                        node.clearCache()
                        if node.getState().contains(pyatspi.STATE_SHOWING):
                            return node
                return None

            press(find(app, pyatspi.ROLE_MENU_ITEM, "About..."))
            about = wait_for("the About box", shown_dialog)
            for name in ("Tolvane Fingerprint Device Diagnostic Utility", "Ver 4.83"):
                if find(about, pyatspi.ROLE_LABEL, name) is None:
                    fail("the About box has no label %r" % name)
            press(find(about, pyatspi.ROLE_PUSH_BUTTON, "OK"))
            wait_for("the About box to close", lambda: shown_dialog() is None)
            print("atspi_e2e: read %r" % current_name(status))
        finally:
            code = end(program)
            server.terminate()
            server.wait()
        if code != 0:
            fail("the program ended with %s" % code)


if __name__ == "__main__":
    main()
