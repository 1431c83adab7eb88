# The setup's search for the machine's Debian archive (scripts/apt-archive),
# on apt source files of both formats. apt itself reads every fixture too:
# the archive found must be one apt reads as a bookworm source, and
# the source made from it must be one apt accepts.
import os
import subprocess
import tempfile
import textwrap
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ARCHIVE = os.path.join(ROOT, "scripts", "apt-archive")

KEY = """\
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mDMEZQAAABYJKwYBBAHaRw8BAQdAexample
 -----END PGP PUBLIC KEY BLOCK-----
"""

# name, {file under etc/apt: text}, URI found (None: no archive), lines the made source carries
CASES = [
    ("one-line, as Debian's installer writes it", {
        "sources.list": """\
            #deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 NETINST with firmware]/ bookworm main

            deb http://mirror.intranet.test/debian/ bookworm main non-free-firmware
            deb-src http://mirror.intranet.test/debian/ bookworm main non-free-firmware

            deb http://security.intranet.test/debian-security bookworm-security main non-free-firmware
            deb http://mirror.intranet.test/debian/ bookworm-updates main non-free-firmware
            """},
     "http://mirror.intranet.test/debian/", []),
    ("one-line with options, tabs and a trailing comment", {
        "sources.list": "deb\t[ arch=amd64,i386 signed-by=/usr/share/keyrings/corp.gpg ]\thttp://192.0.2.10:3142/debian bookworm main # the cache\n"},
     "http://192.0.2.10:3142/debian", ["Signed-By: /usr/share/keyrings/corp.gpg"]),
    ("one-line trusted local mirror in a .list part", {
        "sources.list.d/local.list": "deb [trusted=yes] file:/srv/mirror/debian bookworm main\n"},
     "file:/srv/mirror/debian", ["Trusted: yes"]),
    ("a deb-src line first: the deb entry is taken", {
        "sources.list": "deb-src http://src.intranet.test/debian bookworm main\ndeb http://bin.intranet.test/debian bookworm main\n"},
     "http://bin.intranet.test/debian", []),
    ("only deb-src carries bookworm", {
        "sources.list": "deb-src http://src.intranet.test/debian bookworm main\ndeb http://bin.intranet.test/debian trixie main\n"},
     "http://src.intranet.test/debian", []),
    ("an enabled CD first: passed over", {
        "sources.list": "deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 DVD Binary-1]/ bookworm contrib main\n"
                        "deb http://mirror.intranet.test/debian bookworm main\n"},
     "http://mirror.intranet.test/debian", []),
    ("deb822 as these machines have it: comments in a stanza, several suites", {
        "sources.list.d/debian.sources": """\
            Types: deb
            # the snapshot this image was made from
            URIs: http://mirror.intranet.test/debian
            Suites: bookworm bookworm-updates
            Components: main
            Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

            Types: deb
            URIs: http://mirror.intranet.test/debian-security
            Suites: bookworm-security
            Components: main
            Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
            """},
     "http://mirror.intranet.test/debian", ["Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"]),
    ("deb822: a disabled stanza, lower-case names, several URIs, the suite in the second stanza", {
        "sources.list.d/a.sources": """\
            Enabled: no
            Types: deb
            URIs: http://old.intranet.test/debian
            Suites: bookworm
            Components: main

            types: deb deb-src
            uris: http://one.intranet.test/debian http://two.intranet.test/debian
            suites: bookworm-updates
              bookworm
            components: main
            """},
     "http://one.intranet.test/debian", []),
    ("deb822 with the key written into the source", {
        "sources.list.d/debian.sources": "Types: deb\nURIs: http://mirror.intranet.test/debian\nSuites: bookworm\nComponents: main\n" + KEY},
     "http://mirror.intranet.test/debian", KEY.splitlines()),
    ("the main list before the parts, the parts in name order, other names ignored", {
        "sources.list.d/b.sources": "Types: deb\nURIs: http://b.intranet.test/debian\nSuites: bookworm\nComponents: main\n",
        "sources.list.d/a.list.save": "deb http://saved.intranet.test/debian bookworm main\n",
        "sources.list.d/a.sources.disabled": "Types: deb\nURIs: http://off.intranet.test/debian\nSuites: bookworm\nComponents: main\n",
        "sources.list.d/a.list": "deb http://a.intranet.test/debian bookworm main\n"},
     "http://a.intranet.test/debian", []),
    ("no entry carries bookworm itself", {
        "sources.list": "# deb http://mirror.intranet.test/debian bookworm main\n"
                        "deb http://mirror.intranet.test/debian bookworm-updates main\n"
                        "deb http://mirror.intranet.test/debian trixie main\n",
        "sources.list.d/security.sources": "Types: deb\nURIs: http://mirror.intranet.test/debian-security\nSuites: bookworm-security\nComponents: main\n"},
     None, []),
    ("no source files at all", {}, None, []),
]


def apt_sources(etc, private):
    """What apt reads from etc/apt: (type, URI, suite) of each index it would fetch."""
    out = subprocess.run(
        ["apt-get", "-o", "Dir::Etc::SourceList=" + os.path.join(etc, "sources.list"),
         "-o", "Dir::Etc::SourceParts=" + os.path.join(etc, "sources.list.d"),
         "-o", "Dir::State::Lists=" + os.path.join(private, "lists"),
         "-o", "Dir::Cache=" + os.path.join(private, "cache"),
         "indextargets", "--no-release-info", "--format", "$(TARGET_OF) $(REPO_URI) $(RELEASE)"],
        capture_output=True, text=True, check=True).stdout
    seen = set()
    for line in filter(None, out.splitlines()):
        kind, rest = line.split(" ", 1)
        uri, release = rest.rsplit(" ", 1)  # a CD's URI holds spaces
        seen.add((kind, uri, release))
    return seen


class AptArchiveTest(unittest.TestCase):
    def run_archive(self, etc, *args):
        return subprocess.run([ARCHIVE, "--list", os.path.join(etc, "sources.list"),
                               "--parts", os.path.join(etc, "sources.list.d"), *args],
                              capture_output=True, text=True)

    def test_the_archive_is_found_in_either_format(self):
        for name, files, uri, carried in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as tmp:
                etc = os.path.join(tmp, "etc")
                os.makedirs(os.path.join(etc, "sources.list.d"))
                for rel, text in files.items():
                    with open(os.path.join(etc, rel), "w") as f:
                        f.write(textwrap.dedent(text))
                os.makedirs(os.path.join(tmp, "apt", "lists", "partial"))
                seen = apt_sources(etc, os.path.join(tmp, "apt"))

                found = self.run_archive(etc)
                if uri is None:
                    self.assertEqual((found.returncode, found.stdout), (1, ""))
                    self.assertFalse([s for s in seen if s[2] == "bookworm" and not s[1].startswith("cdrom:")])
                    continue
                self.assertEqual((found.returncode, found.stdout), (0, uri + "\n"), found.stderr)
                kinds = {s[0] for s in seen if s[1].rstrip("/") == uri.rstrip("/") and s[2] == "bookworm"}
                self.assertTrue(kinds, f"apt reads no bookworm source at {uri}: {seen}")

                made = self.run_archive(etc, "--stanza", "deb", "bookworm-backports")
                self.assertEqual(made.returncode, 0, made.stderr)
                lines = made.stdout.splitlines()
                self.assertEqual(lines[:4], ["Types: deb", "URIs: " + uri, "Suites: bookworm-backports",
                                             "Components: main"])
                self.assertEqual(lines[4:], carried)
                # apt takes the source made, with its key, as it takes the machine's.
                os.makedirs(os.path.join(tmp, "made", "sources.list.d"))
                with open(os.path.join(tmp, "made", "sources.list.d", "vx.sources"), "w") as f:
                    f.write(made.stdout)
                self.assertEqual({(k, u.rstrip("/"), r) for k, u, r in apt_sources(os.path.join(tmp, "made"),
                                                                                  os.path.join(tmp, "apt"))},
                                 {("deb", uri.rstrip("/"), "bookworm-backports")})


if __name__ == "__main__":
    unittest.main()
