"""Korvex Studio: import the newest take into DaVinci Resolve.

Run from DaVinci Resolve (Workspace > Scripts > Utility > Korvex_AutoImport).
The recorder writes "latest_take.json" after every take; this script reads it,
imports the take's DaVinci timeline into the current project (creating a
project when none is open) and offers the older takes found under the
recordings folder.

Outside Resolve (Resolve Studio allows external scripting) the same script
runs from a terminal:
    python3 Korvex_AutoImport.py            import the newest take
    python3 Korvex_AutoImport.py --list     list the takes, newest first
    python3 Korvex_AutoImport.py --take N   import take N of that list

The Resolve module is looked up only when it is needed, so the file imports
and its functions run without Resolve.
"""

import json
import os
import sys

MANIFEST_NAME = "latest_take.json"
TIMELINE_SUFFIX = "_DaVinci.xml"
REQUIRED_KEYS = ("xml_davinci_path",)


class KorvexError(Exception):
    """A problem to tell the user about in plain words."""


# ---------------------------------------------------------------------------
# Manifest


def manifest_folder(environ=None, platform=None):
    """Folder where Korvex Studio writes latest_take.json for this user."""
    environ = os.environ if environ is None else environ
    platform = sys.platform if platform is None else platform
    home = environ.get("HOME") or os.path.expanduser("~")
    if platform.startswith("win"):
        base = environ.get("APPDATA") or os.path.join(home, "AppData", "Roaming")
    elif platform == "darwin":
        base = os.path.join(home, "Library", "Application Support")
    else:
        base = environ.get("XDG_DATA_HOME") or os.path.join(home, ".local", "share")
    return os.path.join(base, "Korvex", "Korvex")


def manifest_path(environ=None, platform=None):
    return os.path.join(manifest_folder(environ, platform), MANIFEST_NAME)


def load_manifest(path):
    """The manifest as a dict; KorvexError when it is missing or unreadable."""
    if not os.path.isfile(path):
        raise KorvexError(
            "No Korvex take found: %s does not exist. Record a take in Korvex Studio first." % path)
    try:
        with open(path, "r", encoding="utf-8") as handle:
            manifest = json.load(handle)
    except (OSError, ValueError) as error:
        raise KorvexError("The Korvex take manifest %s cannot be read: %s" % (path, error))
    if not isinstance(manifest, dict):
        raise KorvexError("The Korvex take manifest %s is not a JSON object." % path)
    for key in REQUIRED_KEYS:
        if not isinstance(manifest.get(key), str) or not manifest.get(key):
            raise KorvexError("The Korvex take manifest %s has no \"%s\"." % (path, key))
    return manifest


# ---------------------------------------------------------------------------
# Takes on disk


def find_takes(recording_path):
    """DaVinci timelines below the recordings folder (session/Take_NN/...),
    newest first, as a list of absolute paths."""
    if not recording_path or not os.path.isdir(recording_path):
        return []
    found = []
    for session in sorted(os.listdir(recording_path)):
        session_dir = os.path.join(recording_path, session)
        if not os.path.isdir(session_dir):
            continue
        for take in sorted(os.listdir(session_dir)):
            take_dir = os.path.join(session_dir, take)
            if not os.path.isdir(take_dir):
                continue
            for name in sorted(os.listdir(take_dir)):
                path = os.path.join(take_dir, name)
                if name.endswith(TIMELINE_SUFFIX) and os.path.isfile(path):
                    found.append((os.path.getmtime(path), os.path.abspath(path)))
    found.sort(key=lambda item: (-item[0], item[1]))
    return [path for _, path in found]


def take_label(path):
    """"Session/Take_02" for a timeline below the recordings folder."""
    take_dir = os.path.dirname(path)
    label = os.path.join(os.path.basename(os.path.dirname(take_dir)), os.path.basename(take_dir))
    return label.replace(os.sep, "/")


def same_file(a, b):
    return os.path.normcase(os.path.abspath(a)) == os.path.normcase(os.path.abspath(b))


# ---------------------------------------------------------------------------
# DaVinci Resolve


def _module_search_paths(environ=None, platform=None):
    environ = os.environ if environ is None else environ
    platform = sys.platform if platform is None else platform
    paths = []
    api = environ.get("RESOLVE_SCRIPT_API")
    if api:
        paths.append(os.path.join(api, "Modules"))
    if platform.startswith("win"):
        program_data = environ.get("PROGRAMDATA", "C:\\ProgramData")
        paths.append(os.path.join(program_data, "Blackmagic Design", "DaVinci Resolve",
                                  "Support", "Developer", "Scripting", "Modules"))
    elif platform == "darwin":
        paths.append("/Library/Application Support/Blackmagic Design/DaVinci Resolve/"
                     "Developer/Scripting/Modules")
    else:
        paths.append("/opt/resolve/Developer/Scripting/Modules")
        paths.append("/home/resolve/Developer/Scripting/Modules")
    return paths


def get_resolve(namespace=None):
    """The running Resolve application, or None when it cannot be reached.

    Inside Resolve the scripting host provides `resolve` (or `bmd`); outside
    it the DaVinciResolveScript module connects to a running Resolve."""
    namespace = globals() if namespace is None else namespace
    app = namespace.get("resolve")
    if app is not None:
        return app
    bmd = namespace.get("bmd")
    if bmd is not None:
        try:
            app = bmd.scriptapp("Resolve")
        except Exception:  # the host's own errors: fall through to the module
            app = None
        if app is not None:
            return app
    try:
        import DaVinciResolveScript as dvr  # noqa: N813 (Resolve's own name)
    except ImportError:
        for path in _module_search_paths():
            if os.path.isdir(path) and path not in sys.path:
                sys.path.append(path)
        try:
            import DaVinciResolveScript as dvr  # noqa: N813
        except ImportError:
            return None
    try:
        return dvr.scriptapp("Resolve")
    except Exception:
        return None


def current_or_new_project(resolve, name):
    """The open project, or a new one named after the session."""
    manager = resolve.GetProjectManager()
    if manager is None:
        raise KorvexError("DaVinci Resolve's project manager is not available.")
    project = manager.GetCurrentProject()
    if project is not None:
        return project
    base = name or "Korvex"
    for attempt in range(1, 100):
        candidate = base if attempt == 1 else "%s %d" % (base, attempt)
        project = manager.CreateProject(candidate)
        if project is not None:
            return project
    raise KorvexError("No project is open and DaVinci Resolve could not create one named \"%s\"." % base)


def import_timeline(resolve, xml_path, project_name=None):
    """Imports one Korvex timeline; returns (project name, timeline name)."""
    if not xml_path or not os.path.isfile(xml_path):
        raise KorvexError("The timeline file of the take is missing: %s" % xml_path)
    project = current_or_new_project(resolve, project_name)
    media_pool = project.GetMediaPool()
    if media_pool is None:
        raise KorvexError("The media pool of the current project is not available.")
    take_dir = os.path.dirname(xml_path)
    timeline = media_pool.ImportTimelineFromFile(xml_path, {
        "timelineName": os.path.splitext(os.path.basename(xml_path))[0],
        "importSourceClips": True,
        "sourceClipsPath": take_dir,
    })
    if not timeline:
        raise KorvexError("DaVinci Resolve could not import the timeline %s" % xml_path)
    project.SetCurrentTimeline(timeline)
    try:
        resolve.OpenPage("edit")
    except Exception:
        pass  # an older Resolve without pages: the import itself worked
    return project.GetName(), timeline.GetName()


# ---------------------------------------------------------------------------
# Talking to the user


def notify(message, ui=None):
    print("[Korvex] " + message)
    if ui is not None:
        ui.message(message)


class ResolveDialogs:
    """Small windows through Resolve's own UI manager (Fusion UIManager)."""

    def __init__(self, fusion, bmd):
        self.ui = fusion.UIManager
        self.dispatcher = bmd.UIDispatcher(self.ui)

    def message(self, text):
        window = self.dispatcher.AddWindow(
            {"ID": "KorvexMessage", "WindowTitle": "Korvex Studio", "Geometry": [300, 300, 520, 120]},
            self.ui.VGroup([
                self.ui.Label({"ID": "Text", "Text": text, "WordWrap": True}),
                self.ui.Button({"ID": "Ok", "Text": "OK"}),
            ]))

        def close(_event):
            self.dispatcher.ExitLoop()
        window.On.KorvexMessage.Close = close
        window.On.Ok.Clicked = close
        window.Show()
        self.dispatcher.RunLoop()
        window.Hide()

    def choose(self, labels):
        """Index of the chosen label, or None when the user closes the window."""
        window = self.dispatcher.AddWindow(
            {"ID": "KorvexTakes", "WindowTitle": "Korvex Studio: older takes", "Geometry": [300, 300, 560, 140]},
            self.ui.VGroup([
                self.ui.Label({"ID": "Text", "Text": "Import another take:"}),
                self.ui.ComboBox({"ID": "Takes"}),
                self.ui.HGroup([
                    self.ui.Button({"ID": "Import", "Text": "Import"}),
                    self.ui.Button({"ID": "Close", "Text": "Close"}),
                ]),
            ]))
        items = window.GetItems()
        for label in labels:
            items["Takes"].AddItem(label)
        chosen = []

        def close(_event):
            self.dispatcher.ExitLoop()

        def pick(_event):
            chosen.append(int(items["Takes"].CurrentIndex))
            self.dispatcher.ExitLoop()
        window.On.KorvexTakes.Close = close
        window.On.Close.Clicked = close
        window.On.Import.Clicked = pick
        window.Show()
        self.dispatcher.RunLoop()
        window.Hide()
        return chosen[0] if chosen else None


def _dialogs(namespace):
    fusion = namespace.get("fusion")
    bmd = namespace.get("bmd")
    if fusion is None or bmd is None:
        return None
    try:
        return ResolveDialogs(fusion, bmd)
    except Exception:
        return None


# ---------------------------------------------------------------------------


def _parse_args(argv):
    options = {"list": False, "take": None, "manifest": None}
    args = list(argv)
    while args:
        arg = args.pop(0)
        if arg == "--list":
            options["list"] = True
        elif arg == "--take" and args:
            try:
                options["take"] = int(args.pop(0))
            except ValueError:
                raise KorvexError("--take needs a number from the --list output.")
        elif arg == "--manifest" and args:
            options["manifest"] = args.pop(0)
        else:
            raise KorvexError("Unknown argument %s (use --list, --take N or --manifest PATH)." % arg)
    return options


def main(argv=None, namespace=None, resolve=None):
    """Returns 0 when a timeline was imported (or listed), 1 otherwise."""
    namespace = globals() if namespace is None else namespace
    argv = [] if argv is None else argv
    dialogs = _dialogs(namespace)
    try:
        options = _parse_args(argv)
    except KorvexError as error:
        notify(str(error), dialogs)
        return 1

    path = options["manifest"] or manifest_path()
    try:
        manifest = load_manifest(path)
    except KorvexError as error:
        notify(str(error), dialogs)
        return 1

    latest = manifest["xml_davinci_path"]
    recording_path = manifest.get("recording_path") or ""
    takes = find_takes(recording_path)
    if not any(same_file(take, latest) for take in takes) and os.path.isfile(latest):
        takes.insert(0, os.path.abspath(latest))

    if options["list"]:
        if not takes:
            notify("No takes found under %s" % recording_path)
            return 1
        for number, take in enumerate(takes, start=1):
            print("%d\t%s\t%s" % (number, take_label(take), take))
        return 0

    if resolve is None:
        resolve = get_resolve(namespace)
    if resolve is None:
        notify("DaVinci Resolve is not running or its scripting is not reachable.", dialogs)
        return 1

    if options["take"] is not None:
        if not 1 <= options["take"] <= len(takes):
            notify("There is no take %d; --list shows %d takes." % (options["take"], len(takes)), dialogs)
            return 1
        chosen = takes[options["take"] - 1]
    else:
        chosen = latest
    session = manifest.get("take_name") or "Korvex"

    try:
        project_name, timeline_name = import_timeline(resolve, chosen, session)
    except KorvexError as error:
        notify(str(error), dialogs)
        return 1
    notify("Imported %s into project %s." % (timeline_name, project_name), dialogs)

    older = [take for take in takes if not same_file(take, chosen)]
    if dialogs is not None and older and options["take"] is None:
        index = dialogs.choose([take_label(take) for take in older])
        if index is not None and 0 <= index < len(older):
            try:
                project_name, timeline_name = import_timeline(resolve, older[index], session)
                notify("Imported %s into project %s." % (timeline_name, project_name), dialogs)
            except KorvexError as error:
                notify(str(error), dialogs)
    elif older and options["take"] is None:
        print("[Korvex] Older takes (import one with --take N):")
        for number, take in enumerate(takes, start=1):
            if not same_file(take, chosen):
                print("%d\t%s" % (number, take_label(take)))
    return 0


def _inside_resolve():
    return "resolve" in globals() or "bmd" in globals() or "fusion" in globals()


if __name__ == "__main__":
    if _inside_resolve():
        main([])  # the host's own arguments are not ours
    else:
        sys.exit(main(sys.argv[1:]))
