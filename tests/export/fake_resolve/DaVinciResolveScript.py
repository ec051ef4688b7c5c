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
