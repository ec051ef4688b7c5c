"""The Resolve companion script against a stand-in for Resolve's module."""

import importlib.util
import io
import json
import os
import subprocess
import sys
import tempfile
import unittest
from contextlib import redirect_stdout

SOURCE_DIR = os.environ.get("KORVEX_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
SCRIPT = os.path.join(SOURCE_DIR, "scripts", "Korvex_AutoImport.py")
FAKE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fake_resolve")
sys.path.insert(0, FAKE_DIR)

import DaVinciResolveScript as fake  # noqa: E402  (the stand-in)


def load_script():
    spec = importlib.util.spec_from_file_location("Korvex_AutoImport", SCRIPT)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


korvex = load_script()


class TakeTree:
    """A recordings folder with sessions and takes, and a manifest beside it."""

    def __init__(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.root = self._tmp.name
        self.recordings = os.path.join(self.root, "Videos", "Korvex")
        self.manifest_dir = os.path.join(self.root, "data", "Korvex", "Korvex")
        os.makedirs(self.manifest_dir)
        self.manifest = os.path.join(self.manifest_dir, "latest_take.json")

    def add_take(self, session, take, mtime):
        folder = os.path.join(self.recordings, session, take)
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "%s_%s_DaVinci.xml" % (session, take))
        with open(path, "w") as handle:
            handle.write("<xmeml/>")
        with open(os.path.join(folder, "%s_%s_Premiere.xml" % (session, take)), "w") as handle:
            handle.write("<xmeml/>")
        os.utime(path, (mtime, mtime))
        return path

    def write_manifest(self, davinci_path, session="Interview"):
        # Exactly what the recorder writes: compact, keys sorted.
        manifest = {"recording_path": self.recordings, "take_name": session,
                    "timestamp": 1704067200, "xml_davinci_path": davinci_path}
        with open(self.manifest, "w") as handle:
            handle.write(json.dumps(manifest, separators=(",", ":"), sort_keys=True))

    def close(self):
        self._tmp.cleanup()


def run_main(args, resolve=None, namespace=None):
    out = io.StringIO()
    with redirect_stdout(out):
        code = korvex.main(args, namespace=namespace or {}, resolve=resolve)
    return code, out.getvalue()


class ManifestLocationTest(unittest.TestCase):
    def test_folder_per_platform(self):
        cases = [
            ("linux", {"HOME": "/home/ana", "XDG_DATA_HOME": "/data"}, "/data/Korvex/Korvex"),
            ("linux", {"HOME": "/home/ana"}, "/home/ana/.local/share/Korvex/Korvex"),
            ("linux", {"HOME": "/home/ana", "XDG_DATA_HOME": ""}, "/home/ana/.local/share/Korvex/Korvex"),
            ("darwin", {"HOME": "/Users/ana"}, "/Users/ana/Library/Application Support/Korvex/Korvex"),
            ("win32", {"HOME": "/h", "APPDATA": "/Roaming"}, os.path.join("/Roaming", "Korvex", "Korvex")),
        ]
        for platform, environ, expected in cases:
            with self.subTest(platform=platform, environ=environ):
                self.assertEqual(korvex.manifest_folder(environ, platform), expected)
        self.assertEqual(korvex.manifest_path({"HOME": "/h", "XDG_DATA_HOME": "/d"}, "linux"),
                         "/d/Korvex/Korvex/latest_take.json")


class LoadManifestTest(unittest.TestCase):
    def setUp(self):
        self.tree = TakeTree()

    def tearDown(self):
        self.tree.close()

    def test_reads_the_recorders_manifest(self):
        self.tree.write_manifest("/v/Interview/Take_01/Interview_Take_01_DaVinci.xml")
        manifest = korvex.load_manifest(self.tree.manifest)
        self.assertEqual(manifest["xml_davinci_path"], "/v/Interview/Take_01/Interview_Take_01_DaVinci.xml")
        self.assertEqual(manifest["take_name"], "Interview")
        self.assertEqual(manifest["timestamp"], 1704067200)

    def test_bad_manifests_are_reported_plainly(self):
        cases = [
            ("missing", None, "does not exist"),
            ("not json", "{oops", "cannot be read"),
            ("not an object", "[1, 2]", "not a JSON object"),
            ("no timeline key", '{"take_name":"X"}', '"xml_davinci_path"'),
            ("empty timeline", '{"xml_davinci_path":""}', '"xml_davinci_path"'),
        ]
        for name, content, expected in cases:
            with self.subTest(name):
                if content is None:
                    if os.path.exists(self.tree.manifest):
                        os.remove(self.tree.manifest)
                else:
                    with open(self.tree.manifest, "w") as handle:
                        handle.write(content)
                with self.assertRaises(korvex.KorvexError) as caught:
                    korvex.load_manifest(self.tree.manifest)
                self.assertIn(expected, str(caught.exception))
                self.assertIn(self.tree.manifest, str(caught.exception))


class FindTakesTest(unittest.TestCase):
    def test_newest_first_and_only_davinci_timelines(self):
        tree = TakeTree()
        try:
            old = tree.add_take("Interview", "Take_01", 1000)
            new = tree.add_take("Interview", "Take_02", 3000)
            other = tree.add_take("Concert", "Take_01", 2000)
            with open(os.path.join(tree.recordings, "stray.xml"), "w") as handle:
                handle.write("x")
            self.assertEqual(korvex.find_takes(tree.recordings), [new, other, old])
            self.assertEqual(korvex.take_label(new), "Interview/Take_02")
            self.assertEqual(korvex.find_takes(os.path.join(tree.root, "nowhere")), [])
            self.assertEqual(korvex.find_takes(""), [])
        finally:
            tree.close()


class ResolveLookupTest(unittest.TestCase):
    def test_host_globals_come_first_then_the_module(self):
        host = object()
        self.assertIs(korvex.get_resolve({"resolve": host}), host)

        class Bmd:
            def scriptapp(self, name):
                return host if name == "Resolve" else None
        self.assertIs(korvex.get_resolve({"bmd": Bmd()}), host)
        app = fake.reset()
        self.assertIs(korvex.get_resolve({}), app)


class ImportTest(unittest.TestCase):
    def setUp(self):
        self.tree = TakeTree()
        self.take1 = self.tree.add_take("Interview", "Take_01", 1000)
        self.take2 = self.tree.add_take("Interview", "Take_02", 2000)
        self.resolve = fake.reset()

    def tearDown(self):
        self.tree.close()

    def imports(self):
        project = self.resolve.manager.current
        return [] if project is None else [path for path, _ in project.media_pool.imports]

    def test_latest_take_goes_into_a_new_project_when_none_is_open(self):
        self.tree.write_manifest(self.take2)
        code, out = run_main(["--manifest", self.tree.manifest], self.resolve)
        self.assertEqual(code, 0, out)
        self.assertEqual(self.resolve.manager.created, ["Interview"])
        self.assertEqual(self.imports(), [self.take2])
        _, options = self.resolve.manager.current.media_pool.imports[0]
        self.assertEqual(options["timelineName"], "Interview_Take_02_DaVinci")
        self.assertEqual(options["sourceClipsPath"], os.path.dirname(self.take2))
        self.assertEqual(self.resolve.manager.current.current_timeline.GetName(), "Interview_Take_02_DaVinci")
        self.assertIn("Imported Interview_Take_02_DaVinci into project Interview.", out)
        # The older take is offered, numbered as --list numbers it.
        self.assertIn("2\tInterview/Take_01", out)

    def test_open_project_is_used_and_a_taken_name_gets_a_number(self):
        self.tree.write_manifest(self.take2)
        self.resolve.taken_project_names.add("Interview")
        code, _ = run_main(["--manifest", self.tree.manifest], self.resolve)
        self.assertEqual(code, 0)
        self.assertEqual(self.resolve.manager.created, ["Interview 2"])
        code, _ = run_main(["--manifest", self.tree.manifest], self.resolve)
        self.assertEqual(code, 0)
        self.assertEqual(self.resolve.manager.created, ["Interview 2"])  # no second project
        self.assertEqual(self.imports(), [self.take2, self.take2])

    def test_an_older_take_by_choice(self):
        self.tree.write_manifest(self.take2)
        code, out = run_main(["--manifest", self.tree.manifest, "--list"], self.resolve)
        self.assertEqual(code, 0)
        self.assertEqual(out.splitlines()[0], "1\tInterview/Take_02\t" + self.take2)
        self.assertEqual(out.splitlines()[1], "2\tInterview/Take_01\t" + self.take1)
        self.assertEqual(self.imports(), [])  # listing imports nothing
        code, _ = run_main(["--manifest", self.tree.manifest, "--take", "2"], self.resolve)
        self.assertEqual(code, 0)
        self.assertEqual(self.imports(), [self.take1])
        code, out = run_main(["--manifest", self.tree.manifest, "--take", "7"], self.resolve)
        self.assertEqual(code, 1)
        self.assertIn("There is no take 7", out)

    def test_failures_are_told_and_nothing_is_imported(self):
        missing = os.path.join(self.tree.recordings, "Interview", "Take_09", "Interview_Take_09_DaVinci.xml")
        cases = [
            ("manifest missing", None, False, "No Korvex take found"),
            ("timeline missing", missing, False, "The timeline file of the take is missing: " + missing),
            ("resolve refuses", self.take2, True, "could not import the timeline " + self.take2),
        ]
        for name, davinci, refuse, expected in cases:
            with self.subTest(name):
                self.resolve = fake.reset()
                self.resolve.refuse_imports = refuse
                if davinci is None:
                    if os.path.exists(self.tree.manifest):
                        os.remove(self.tree.manifest)
                else:
                    self.tree.write_manifest(davinci)
                code, out = run_main(["--manifest", self.tree.manifest], self.resolve)
                self.assertEqual(code, 1)
                self.assertIn(expected, out)
                self.assertNotIn("Imported", out)

    def test_no_resolve_reachable(self):
        self.tree.write_manifest(self.take2)
        saved = korvex.get_resolve
        korvex.get_resolve = lambda namespace=None: None
        try:
            code, out = run_main(["--manifest", self.tree.manifest])
        finally:
            korvex.get_resolve = saved
        self.assertEqual(code, 1)
        self.assertIn("DaVinci Resolve is not running", out)


class InsideResolveTest(unittest.TestCase):
    """Run as Resolve runs it: `fusion` and `bmd` given by the host, windows
    through its UI manager."""

    def setUp(self):
        self.tree = TakeTree()
        self.take1 = self.tree.add_take("Interview", "Take_01", 1000)
        self.take2 = self.tree.add_take("Interview", "Take_02", 2000)
        self.take3 = self.tree.add_take("Interview", "Take_03", 3000)
        self.resolve = fake.reset()
        self.bmd = fake.FakeBmd(self.resolve)
        self.namespace = {"fusion": fake.FakeFusion(), "bmd": self.bmd}

    def tearDown(self):
        self.tree.close()

    def imported(self):
        return [path for path, _ in self.resolve.manager.current.media_pool.imports]

    def test_latest_then_an_older_take_by_choice(self):
        self.tree.write_manifest(self.take3)
        self.bmd.choose_index = 1
        code, _ = run_main(["--manifest", self.tree.manifest], namespace=self.namespace)
        self.assertEqual(code, 0)
        self.assertEqual(self.bmd.offered, [["Interview/Take_02", "Interview/Take_01"]])
        self.assertEqual(self.imported(), [self.take3, self.take1])
        self.assertEqual(self.bmd.messages, [
            "Imported Interview_Take_03_DaVinci into project Interview.",
            "Imported Interview_Take_01_DaVinci into project Interview."])

    def test_closing_the_chooser_imports_only_the_latest(self):
        self.tree.write_manifest(self.take3)
        code, _ = run_main(["--manifest", self.tree.manifest], namespace=self.namespace)
        self.assertEqual(code, 0)
        self.assertEqual(self.imported(), [self.take3])

    def test_missing_manifest_is_shown_in_a_window(self):
        code, _ = run_main(["--manifest", self.tree.manifest], namespace=self.namespace)
        self.assertEqual(code, 1)
        self.assertEqual(len(self.bmd.messages), 1)
        self.assertIn("No Korvex take found", self.bmd.messages[0])
        self.assertEqual(self.bmd.offered, [])


class CommandLineTest(unittest.TestCase):
    """The shipped file run as a program, finding the manifest on its own."""

    def run_script(self, tree, *args):
        env = dict(os.environ, XDG_DATA_HOME=os.path.join(tree.root, "data"),
                   PYTHONPATH=FAKE_DIR)
        return subprocess.run([sys.executable, SCRIPT] + list(args), env=env,
                              capture_output=True, text=True, timeout=60)

    def test_runs_against_the_stand_in(self):
        tree = TakeTree()
        try:
            result = self.run_script(tree)
            self.assertEqual(result.returncode, 1)
            self.assertIn("No Korvex take found", result.stdout)
            take = tree.add_take("Interview", "Take_01", 1000)
            tree.write_manifest(take)
            result = self.run_script(tree)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            self.assertIn("Imported Interview_Take_01_DaVinci into project Interview.", result.stdout)
        finally:
            tree.close()


if __name__ == "__main__":
    unittest.main()
