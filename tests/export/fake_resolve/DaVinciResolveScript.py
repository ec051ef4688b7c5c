"""Stand-in for DaVinci Resolve's scripting module: just enough of the
project manager, project and media pool for the Korvex import script, with
every call recorded so tests can check what the script asked for."""

import os


class FakeTimeline:
    def __init__(self, name):
        self._name = name

    def GetName(self):
        return self._name


class FakeMediaPool:
    def __init__(self, app):
        self._app = app
        self.imports = []

    def ImportTimelineFromFile(self, path, options=None):
        self.imports.append((path, dict(options or {})))
        if self._app.refuse_imports or not os.path.isfile(path):
            return None
        return FakeTimeline((options or {}).get("timelineName") or os.path.basename(path))


class FakeProject:
    def __init__(self, app, name):
        self._name = name
        self.media_pool = FakeMediaPool(app)
        self.current_timeline = None

    def GetName(self):
        return self._name

    def GetMediaPool(self):
        return self.media_pool

    def SetCurrentTimeline(self, timeline):
        self.current_timeline = timeline
        return True


class FakeProjectManager:
    def __init__(self, app):
        self._app = app
        self.current = None
        self.created = []

    def GetCurrentProject(self):
        return self.current

    def CreateProject(self, name):
        if name in self._app.taken_project_names:
            return None
        self._app.taken_project_names.add(name)
        self.current = FakeProject(self._app, name)
        self.created.append(name)
        return self.current


class FakeResolve:
    def __init__(self):
        self.refuse_imports = False
        self.taken_project_names = set()
        self.manager = FakeProjectManager(self)
        self.pages = []

    def GetProjectManager(self):
        return self.manager

    def OpenPage(self, name):
        self.pages.append(name)
        return True


_app = None


def reset():
    global _app
    _app = FakeResolve()
    return _app


def scriptapp(name):
    if name != "Resolve":
        return None
    return _app if _app is not None else reset()


# --- Resolve's UI manager, as far as the script's two windows use it --------

class _Handlers:
    """window.On.<ItemID>.<Event> = handler"""

    def __init__(self):
        object.__setattr__(self, "items", {})

    def __getattr__(self, item_id):
        return self.items.setdefault(item_id, _Events())


class _Events:
    def __init__(self):
        object.__setattr__(self, "events", {})

    def __setattr__(self, name, handler):
        self.events[name] = handler


class FakeWidget:
    def __init__(self, kind, props=None, children=None):
        self.kind = kind
        self.props = dict(props or {})
        self.children = list(children or [])
        self.entries = []
        self.CurrentIndex = 0

    def AddItem(self, text):
        self.entries.append(text)


class FakeUIManager:
    def __getattr__(self, kind):
        def make(arg=None):
            if isinstance(arg, list):
                return FakeWidget(kind, children=arg)
            return FakeWidget(kind, props=arg)
        return make


class FakeWindow:
    def __init__(self, props, layout):
        self.props = props
        self.layout = layout
        self.On = _Handlers()
        self.shown = False

    def GetItems(self):
        found = {}

        def walk(widget):
            if "ID" in widget.props:
                found[widget.props["ID"]] = widget
            for child in widget.children:
                walk(child)
        walk(self.layout)
        return found

    def Show(self):
        self.shown = True

    def Hide(self):
        self.shown = False


class FakeDispatcher:
    """Runs each window's loop by "clicking" what the test asked for:
    choose_index None closes the take chooser, a number picks that entry."""

    def __init__(self, host):
        self.host = host
        self.windows = []

    def AddWindow(self, props, layout):
        window = FakeWindow(props, layout)
        self.windows.append(window)
        return window

    def RunLoop(self):
        window = self.windows[-1]
        items = window.GetItems()
        if "Takes" in items:
            self.host.offered.append(list(items["Takes"].entries))
            if self.host.choose_index is None:
                window.On.Close.events["Clicked"](None)
            else:
                items["Takes"].CurrentIndex = self.host.choose_index
                window.On.Import.events["Clicked"](None)
        else:
            self.host.messages.append(items["Text"].props["Text"])
            window.On.Ok.events["Clicked"](None)

    def ExitLoop(self):
        pass


class FakeFusion:
    def __init__(self):
        self.UIManager = FakeUIManager()


class FakeBmd:
    def __init__(self, resolve_app):
        self.resolve_app = resolve_app
        self.messages = []
        self.offered = []
        self.choose_index = None

    def scriptapp(self, name):
        return self.resolve_app if name == "Resolve" else None

    def UIDispatcher(self, ui):
        return FakeDispatcher(self)
