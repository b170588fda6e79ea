#!/usr/bin/python3
"""The settings application over the real AT-SPI bus, as a screen reader sees and drives it.

Starts, in the session bus it is given (tests/isolate --bus): a virtual display (Xvfb), the
accessibility bus (activated through the session bus, as a desktop does), the notification
monitor and the real TavrelSettings with Qt's AT-SPI bridge switched on. Then, through
pyatspi only, it runs the steps given on the command line, in order:

  --setting KEY=JSON  before the program starts: settings.json is the shipped default document
                      with KEY (a dotted path) set to the JSON value; may be repeated

  --tab NAME          press the taskbar sub-page tab NAME by its press action; wait until a tab
                      of that name is selected and the previous page is gone
  --row TITLE         the page shown has a row titled TITLE (a label of that name)
  --button NAME       the page shown has a push button named NAME
  --menu NAME         press the push button NAME by its press action; then, for each
      --item ITEM       a menu item named ITEM shows (in the menu the button opened)
  --slider TITLE      the slider named TITLE, followed by
      --reads X         its value through the Value interface is X (the row's units)
      --set Y           sets its value to Y through the Value interface; then
      --key KEY         waits for settingsChanged and finds settings.json's KEY (dotted path)
      --stores Z        equal to Z

  --search TEXT       types TEXT into the settings search field (the editable text named
                      "搜索设置") through the EditableText interface; waits until it holds TEXT
  --result TITLE      presses the search result named TITLE (a push button whose description
                      says where the row is) by its press action
  --reset-row TITLE   presses the changed-value marker of the row TITLE (named "TITLE 已修改"),
                      then the item "恢复默认值" of the menu it opens; followed by
      --key KEY         waits for settingsChanged and finds settings.json's KEY
      --stores Z        equal to Z (JSON)
  --reset-page        presses "恢复本页默认值…", then the confirmation's "恢复默认值"; followed
                      by --key KEY --stores Z as above, and
      --keeps KEY       settings.json's KEY (a whole record, say) is the same as before

Every wait is for something observable (an accessibility event, a line of output, a process
ending); the deadlines only stop a hang. Exit status 0 when every step held, 1 otherwise.
"""

import ctypes
import json
import math
import os
import select
import signal
import subprocess
import sys
import time

DEADLINE = 60.0  # seconds, for any single wait

SHOWN_POPUP_MENUS = []  # every popup menu the application showed, in order


class Failure(Exception):
    pass


def note(message):
    print("atspi-e2e: " + message, flush=True)


def parse_steps(arguments):
    build = None
    steps = []
    settings = {}
    i = 0

    def value():
        nonlocal i
        if i + 1 >= len(arguments):
            raise Failure(arguments[i] + " needs a value")
        i += 1
        return arguments[i]

    while i < len(arguments):
        option = arguments[i]
        if option == "--build":
            build = value()
        elif option == "--setting":
            key, separator, text = value().partition("=")
            if not separator:
                raise Failure("--setting needs KEY=JSON")
            try:
                settings[key] = json.loads(text)
            except ValueError:
                raise Failure("--setting %s: %s is not JSON" % (key, text))
        elif option == "--tab":
            steps.append({"kind": "tab", "name": value()})
        elif option == "--row":
            steps.append({"kind": "row", "title": value()})
        elif option == "--button":
            steps.append({"kind": "button", "name": value()})
        elif option == "--menu":
            steps.append({"kind": "menu", "name": value(), "items": []})
        elif option == "--item":
            if not steps or steps[-1]["kind"] != "menu":
                raise Failure("--item must follow --menu")
            steps[-1]["items"].append(value())
        elif option == "--slider":
            steps.append({"kind": "slider", "title": value()})
        elif option == "--search":
            steps.append({"kind": "search", "text": value()})
        elif option == "--result":
            steps.append({"kind": "result", "title": value()})
        elif option in ("--reads", "--set"):
            if not steps or steps[-1]["kind"] != "slider":
                raise Failure(option + " must follow --slider")
            steps[-1][option[2:]] = value()
        elif option in ("--key", "--stores"):
            if not steps or steps[-1]["kind"] not in ("slider", "reset-row", "reset-page"):
                raise Failure(option + " must follow --slider, --reset-row or --reset-page")
            steps[-1][option[2:]] = value()
        # The reset actions.
        elif option == "--reset-row":
            steps.append({"kind": "reset-row", "title": value()})
        elif option == "--reset-page":
            steps.append({"kind": "reset-page"})
        elif option == "--keeps":
            if not steps or steps[-1]["kind"] != "reset-page":
                raise Failure(option + " must follow --reset-page")
            steps[-1].setdefault("keeps", []).append(value())
        else:
            raise Failure("unknown argument " + option)
        i += 1
    if not build:
        raise Failure("--build DIRECTORY is required")
    for step in steps:
        if step["kind"] == "slider" and ("set" in step) != ("key" in step and "stores" in step):
            raise Failure("--set needs --key and --stores")
        if step["kind"] in ("reset-row", "reset-page") and not ("key" in step and
                                                                "stores" in step):
            raise Failure("a reset needs --key and --stores")
    return build, steps, settings


def write_settings(build, settings):
    """The user's settings.json: the shipped default document with the given keys set."""
    if not settings:
        return
    shipped = os.path.join(build, "bundles", "TavrelSettings.app", "Contents", "Resources",
                           "DefaultSettings.json")
    with open(shipped, "rb") as stream:
        document = json.load(stream)
    for key, setting in settings.items():
        parts = key.split(".")
        node = document
        for part in parts[:-1]:
            node = node[part]
        node[parts[-1]] = setting
    directory = os.path.join(os.environ["XDG_DATA_HOME"], "Tavrel")
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, "settings.json"), "w", encoding="utf-8") as stream:
        json.dump(document, stream, ensure_ascii=False, indent=2)


def end_with_parent():
    """In the child before it runs: it gets SIGTERM when this process goes, however it goes (a
    test run that is killed leaves no display or application behind)."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


class Processes:
    """Children of this run, ended in reverse order of starting."""

    def __init__(self):
        self.children = []

    def start(self, arguments, **options):
        child = subprocess.Popen(arguments, preexec_fn=end_with_parent, **options)
        self.children.append(child)
        return child

    def end_all(self):
        for child in reversed(self.children):
            if child.poll() is None:
                child.terminate()
                try:
                    child.wait(10)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()


def read_line(stream, what, deadline=DEADLINE):
    """The next line of a child's output, waiting for it."""
    end = time.monotonic() + deadline
    buffered = b""
    fd = stream.fileno()
    while True:
        left = end - time.monotonic()
        if left <= 0:
            raise Failure("timed out waiting for " + what)
        ready, _, _ = select.select([fd], [], [], left)
        if not ready:
            continue
        chunk = os.read(fd, 1)
        if not chunk:
            raise Failure("output ended while waiting for " + what)
        if chunk == b"\n":
            return buffered.decode("utf-8", "replace")
        buffered += chunk


def start_display(processes):
    """Xvfb on a free display; ready once it has written the display's number."""
    reader, writer = os.pipe()
    processes.start(
        ["Xvfb", "-displayfd", str(writer), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
        pass_fds=(writer,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(writer)
    with os.fdopen(reader, "rb") as stream:
        number = read_line(stream, "Xvfb to report its display").strip()
    if not number.isdigit():
        raise Failure("Xvfb did not start")
    return ":" + number


def start_accessibility_bus():
    """Asks the session bus for the accessibility bus, which starts its launcher; the answer
    comes once the bus is up, so Qt's bridge and pyatspi find it."""
    answer = subprocess.run(
        ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
         "org.a11y.Bus.GetAddress"],
        capture_output=True, text=True, timeout=DEADLINE)
    if answer.returncode != 0:
        raise Failure("no accessibility bus: " + answer.stderr.strip())


def lookup(document, dotted):
    value = document
    for part in dotted.split("."):
        if not isinstance(value, dict) or part not in value:
            return None
        value = value[part]
    return value


def same_number(a, b):
    try:
        return math.isclose(float(a), float(b), rel_tol=1e-9, abs_tol=1e-9)
    except (TypeError, ValueError):
        return False


class Session:
    """The application's accessible tree, read through pyatspi with no client-side cache."""

    def __init__(self, pyatspi, GLib, Atspi, pid):
        self.pyatspi = pyatspi
        self.GLib = GLib
        self.Atspi = Atspi
        self.pid = pid
        self.app = None

    def wait_until(self, condition, what, deadline=DEADLINE):
        """Checks `condition` again after every accessibility event, until it holds."""
        context = self.GLib.MainContext.default()
        end = time.monotonic() + deadline
        while True:
            while context.pending():
                context.iteration(False)
            result = condition()
            if result:
                return result
            left = end - time.monotonic()
            if left <= 0:
                raise Failure("timed out waiting for " + what)
            # Wakes at the deadline at the latest; every event wakes it earlier.
            timer = self.GLib.timeout_add(max(1, int(left * 1000)), lambda: False)
            context.iteration(True)
            source = context.find_source_by_id(timer)
            if source is not None:
                source.destroy()

    def find_app(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            try:
                app = desktop.getChildAtIndex(index)
                if app is not None and app.get_process_id() == self.pid:
                    # States and children change under us; read them fresh each time.
                    app.set_cache_mask(self.Atspi.Cache.NONE)
                    return app
            except Exception:
                continue
        return None

    def walk(self, root=None):
        """Every object of the application, depth first, skipping those that are not showing
        (the previous page while it is retired)."""
        root = root or self.app
        stack = [(root, True)]
        while stack:
            node, is_root = stack.pop()
            try:
                if not is_root and not node.getState().contains(self.pyatspi.STATE_SHOWING):
                    continue
                yield node
                children = [node.getChildAtIndex(i) for i in range(node.childCount)]
                stack.extend((child, False) for child in reversed(children) if child is not None)
            except Exception:
                # An object removed while we read it.
                continue

    def find(self, roles, name):
        for node in self.walk():
            try:
                if node.getRole() in roles and node.name == name:
                    return node
            except Exception:
                continue
        return None

    def action_index(self, node, wanted):
        action = node.queryAction()
        for index in range(action.nActions):
            if action.getName(index).lower() == wanted:
                return action, index
        return action, None


def run(build, steps, settings_document):
    processes = Processes()
    try:
        write_settings(build, settings_document)
        display = start_display(processes)
        note("display " + display)
        start_accessibility_bus()

        monitor = processes.start(
            [os.path.join(build, "bin", "tavrel-notify"), "monitor",
             "com.local.tavrel.settingsChanged"],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        while read_line(monitor.stderr, "the monitor to listen") != "tavrel-notify: listening":
            pass

        # Imported only now: pyatspi connects to the accessibility bus as it is loaded.
        os.environ["DISPLAY"] = display
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, GLib
        import pyatspi

        focused = []

        # Listening before the application starts: it learns of the listeners when its bridge
        # comes up and sends these events from then on; each one wakes the waits below.
        def woke(event):
            # Popup menus are not children of the application's object: a screen reader meets
            # them by these events (a menu shown, an item focused), and so do the steps below.
            if event.type.startswith("focus") or event.type == "object:state-changed:focused":
                focused.append(event.source)
            try:
                if event.type.startswith("object:state-changed:showing") and event.detail1 == 1 \
                        and event.source.getRole() == pyatspi.ROLE_POPUP_MENU:
                    SHOWN_POPUP_MENUS.append(event.source)
            except Exception:
                pass
        pyatspi.Registry.registerEventListener(
            woke, "object:children-changed", "object:state-changed", "object:property-change",
            "window:create", "window:activate", "focus:")

        environment = dict(os.environ)
        environment.update({
            "DISPLAY": display,
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
        })
        program = os.path.join(build, "bundles", "TavrelSettings.app", "Contents", "MacOS",
                               "TavrelSettings")
        settings = processes.start([program], env=environment)
        session = Session(pyatspi, GLib, Atspi, settings.pid)
        session.focused = focused

        def app_with_tabs():
            if settings.poll() is not None:
                raise Failure("TavrelSettings ended with status %d" % settings.returncode)
            session.app = session.app or session.find_app()
            if session.app is None:
                return None
            return session.find((pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_RADIO_BUTTON), "外观与位置")
        session.wait_until(app_with_tabs, "the settings window in the accessibility tree")
        note("found TavrelSettings (pid %d)" % settings.pid)

        settings_file = os.path.join(os.environ["XDG_DATA_HOME"], "Tavrel", "settings.json")
        for step in steps:
            if step["kind"] == "tab":
                press_tab(session, step["name"])
            elif step["kind"] == "row":
                title = step["title"]
                session.wait_until(lambda: session.find((pyatspi.ROLE_LABEL,), title),
                                   "the row " + title)
                note("row " + title)
            elif step["kind"] == "button":
                name = step["name"]
                session.wait_until(lambda: session.find((pyatspi.ROLE_PUSH_BUTTON,), name),
                                   "the button " + name)
                note("button " + name)
            elif step["kind"] == "menu":
                open_menu(session, step)
            elif step["kind"] == "slider":
                use_slider(session, step, monitor, settings_file)
            elif step["kind"] == "search":
                type_search(session, step["text"])
            elif step["kind"] == "result":
                press_result(session, step["title"])
            elif step["kind"] in ("reset-row", "reset-page"):
                use_reset(session, step, monitor, settings_file)

        # Ends as the taskbar would end it.
        subprocess.run([os.path.join(build, "bin", "tavrel-taskbar-sim"), "close"],
                       timeout=DEADLINE, check=True)
        try:
            status = settings.wait(DEADLINE)
        except subprocess.TimeoutExpired:
            raise Failure("TavrelSettings did not close when asked")
        if status != 0:
            raise Failure("TavrelSettings ended with status %d" % status)
        return 0
    except Failure as failure:
        print("atspi-e2e: FAILED: %s" % failure, file=sys.stderr, flush=True)
        return 1
    finally:
        processes.end_all()


def stored_after_settings_changed(monitor, settings_file, what):
    """Waits for the monitor's next line, which must be settingsChanged, and gives the bytes
    settings.json holds then."""
    line = read_line(monitor.stdout, what)
    posted = json.loads(line)
    if posted.get("name") != "com.local.tavrel.settingsChanged":
        raise Failure("unexpected notification " + line)
    with open(settings_file, "rb") as stream:
        return stream.read()


def press_tab(session, name):
    pyatspi = session.pyatspi
    tab_roles = (pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_RADIO_BUTTON)
    tab = session.wait_until(lambda: session.find(tab_roles, name), "the tab " + name)
    action, index = session.action_index(tab, "press")
    if index is None:
        raise Failure("the tab %s has no press action" % name)
    if not action.doAction(index):
        raise Failure("pressing the tab %s was refused" % name)

    def selected():
        for node in session.walk():
            try:
                if node.getRole() in tab_roles and node.name == name:
                    states = node.getState()
                    if states.contains(pyatspi.STATE_SELECTED) or \
                            states.contains(pyatspi.STATE_CHECKED):
                        return node
            except Exception:
                continue
        return None
    session.wait_until(selected, "the tab %s to be selected" % name)
    note("tab %s selected" % name)


def open_menu(session, step):
    pyatspi = session.pyatspi
    name = step["name"]
    button = session.wait_until(lambda: session.find((pyatspi.ROLE_PUSH_BUTTON,), name),
                                "the button " + name)
    shown_before = len(SHOWN_POPUP_MENUS)
    press(session, button, "the button " + name)
    menu = session.wait_until(
        lambda: SHOWN_POPUP_MENUS[-1] if len(SHOWN_POPUP_MENUS) > shown_before else None,
        "the menu of " + name)
    for item in step["items"]:
        def found():
            for node in session.walk(menu):
                try:
                    if node.getRole() in (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_MENU) and \
                            node.name == item:
                        return node
                except Exception:
                    continue
            return None
        session.wait_until(found, "the menu item " + item)
        note("menu item " + item)


def use_slider(session, step, monitor, settings_file):
    pyatspi = session.pyatspi
    title = step["title"]
    slider = session.wait_until(lambda: session.find((pyatspi.ROLE_SLIDER,), title),
                                "the slider " + title)
    value = slider.queryValue()
    note("slider %s: %s (%s…%s, step %s)" % (title, value.currentValue, value.minimumValue,
                                             value.maximumValue, value.minimumIncrement))
    if "reads" in step and not same_number(value.currentValue, step["reads"]):
        raise Failure("the slider %s reads %s, not %s" % (title, value.currentValue,
                                                          step["reads"]))
    if "set" not in step:
        return
    with open(settings_file, "rb") as stream:
        before = stream.read()
    value.currentValue = float(step["set"])
    after = stored_after_settings_changed(monitor, settings_file, "settingsChanged after setting " + title)
    if after == before:
        raise Failure("settings.json did not change")
    stored = lookup(json.loads(after), step["key"])
    if not same_number(stored, step["stores"]):
        raise Failure("settings.json has %s = %s, not %s" % (step["key"], stored,
                                                               step["stores"]))
    note("set %s to %s: settingsChanged posted, %s = %s" % (title, step["set"], step["key"],
                                                            stored))


def type_search(session, text):
    pyatspi = session.pyatspi
    field = session.wait_until(
        lambda: session.find((pyatspi.ROLE_ENTRY, pyatspi.ROLE_TEXT), "搜索设置"),
        "the search field")
    if not field.queryEditableText().setTextContents(text):
        raise Failure("the search field refused the text " + text)

    def holds():
        content = field.queryText()
        return content.getText(0, content.characterCount) == text
    session.wait_until(holds, "the search field to hold " + text)
    note("searched for " + text)


def press_result(session, title):
    pyatspi = session.pyatspi

    def result():
        for node in session.walk():
            try:
                if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == title and \
                        " · " in (node.description or ""):
                    return node
            except Exception:
                continue
        return None
    found = session.wait_until(result, "the search result " + title)
    note("result %s: %s" % (title, found.description))
    action, index = session.action_index(found, "press")
    if index is None:
        raise Failure("the result %s has no press action" % title)
    if not action.doAction(index):
        raise Failure("pressing the result %s was refused" % title)
def press(session, node, what):
    action, index = session.action_index(node, "press")
    if index is None:
        action, index = session.action_index(node, "click")
    if index is None:
        raise Failure(what + " has no press action")
    if not action.doAction(index):
        raise Failure("pressing " + what + " was refused")


def use_reset(session, step, monitor, settings_file):
    """Resets a row through its marker's menu, or the page through its button and the
    confirmation, and checks what settings.json holds once settingsChanged was posted."""
    pyatspi = session.pyatspi
    with open(settings_file, "rb") as stream:
        before = stream.read()
    reset_title = "恢复默认值"
    if step["kind"] == "reset-row":
        marker_name = step["title"] + " 已修改"
        marker = session.wait_until(
            lambda: session.find((pyatspi.ROLE_PUSH_BUTTON,), marker_name),
            "the marker " + marker_name)
        press(session, marker, "the marker " + marker_name)
        def menu_item():
            for node in reversed(session.focused):
                try:
                    if node.getRole() == pyatspi.ROLE_MENU_ITEM and node.name == reset_title:
                        return node
                except Exception:
                    continue
            return None
        item = session.wait_until(menu_item, "the menu item " + reset_title + " to take focus")
        press(session, item, "the menu item " + reset_title)
        what = "the row " + step["title"]
    else:
        button_name = "恢复本页默认值…"
        button = session.wait_until(
            lambda: session.find((pyatspi.ROLE_PUSH_BUTTON,), button_name),
            "the button " + button_name)
        press(session, button, "the button " + button_name)
        confirm = session.wait_until(
            lambda: session.find((pyatspi.ROLE_PUSH_BUTTON,), reset_title),
            "the confirmation's button " + reset_title)
        press(session, confirm, "the confirmation's button " + reset_title)
        what = "the page"
    after = stored_after_settings_changed(monitor, settings_file, "settingsChanged after resetting " + what)
    document = json.loads(after)
    stored = lookup(document, step["key"])
    if stored != json.loads(step["stores"]):
        raise Failure("settings.json has %s = %s, not %s" % (step["key"], stored,
                                                               step["stores"]))
    for kept in step.get("keeps", []):
        if lookup(json.loads(before), kept) != lookup(document, kept):
            raise Failure("resetting %s changed %s" % (what, kept))
    note("reset %s: settingsChanged posted, %s = %s" % (what, step["key"], stored))


def main():
    try:
        build, steps, settings_document = parse_steps(sys.argv[1:])
    except Failure as failure:
        print("atspi-e2e: %s" % failure, file=sys.stderr)
        return 2
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    return run(build, steps, settings_document)


if __name__ == "__main__":
    sys.exit(main())
