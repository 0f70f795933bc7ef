#!/usr/bin/env python3
"""scripts/package's winget manifests against the installers beside them.

The three files of the multi-file form (version, installer, default locale)
are well-formed YAML with the fields the schema requires; every installer
entry names an MSI in the folder, with its SHA-256, its product code and
upgrade code (as msiinfo reads them from the package) and its version; every
MSI in the folder has exactly one entry.
    winget_check.py DIST   (DIST holds the MSIs and winget/)
"""
import hashlib
import pathlib
import re
import subprocess
import sys

import yaml

REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"],
}
IDENTIFIER = re.compile(r"^[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}){1,7}$")
GUID = re.compile(r"^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$")
errors = []


def check(condition, message):
    if not condition:
        errors.append(message)
    return condition


def msi_properties(msi):
    out = subprocess.run(["msiinfo", "export", str(msi), "Property"], check=True,
                         capture_output=True, text=True).stdout
    return dict(line.split("\t", 1) for line in out.splitlines()[3:] if "\t" in line)


def main(dist):
    dist = pathlib.Path(dist)
    manifests = {}
    for path in sorted((dist / "winget").glob("*.yaml")):
        try:
            document = yaml.safe_load(path.read_text(encoding="utf-8"))
        except yaml.YAMLError as error:
            check(False, f"{path.name}: not YAML: {error}")
            continue
        if check(isinstance(document, dict), f"{path.name}: not a mapping"):
            kind = document.get("ManifestType")
            check(kind in REQUIRED and kind not in manifests, f"{path.name}: ManifestType {kind!r}")
            manifests[kind] = (path.name, document)
    if not check(sorted(manifests) == sorted(REQUIRED), f"manifests found: {sorted(manifests)}"):
        return
    identity = {(d["PackageIdentifier"], d["PackageVersion"], d["ManifestVersion"]) for _, d in manifests.values()}
    check(len(identity) == 1, f"the files disagree on identifier, version or schema: {identity}")
    identifier, version, _ = identity.pop()
    check(IDENTIFIER.match(identifier), f"identifier {identifier!r}")
    for kind, (name, document) in manifests.items():
        for field in REQUIRED[kind]:
            check(document.get(field) not in (None, "", []), f"{name}: no {field}")
        expected = f"{identifier}.yaml" if kind == "version" else None
        check(expected is None or name == expected, f"the version manifest is called {name}")
    locale = manifests["defaultLocale"][1]
    check(manifests["version"][1]["DefaultLocale"] == locale["PackageLocale"], "default locale differs")
    check(locale["PackageName"] == "Vorrasin", "package name")

    installer = manifests["installer"][1]
    listed = set()
    for entry in installer["Installers"]:
        architecture = entry.get("Architecture")
        check(architecture in ("x64", "x86"), f"architecture {architecture!r}")
        check(entry.get("InstallerType", installer.get("InstallerType")) == "msi", f"{architecture}: not msi")
        check(entry.get("Scope", installer.get("Scope")) == "machine", f"{architecture}: not per machine")
        url = entry.get("InstallerUrl", "")
        check(url.startswith("https://"), f"{architecture}: installer address {url!r}")
        msi = dist / url.rsplit("/", 1)[-1]
        if not check(msi.is_file(), f"{architecture}: {msi.name} is not in {dist}"):
            continue
        check(msi.name == f"Vorrasin-{version}-{architecture}.msi", f"{architecture}: {msi.name}")
        check(msi.name not in listed, f"{msi.name} listed twice")
        listed.add(msi.name)
        digest = hashlib.sha256(msi.read_bytes()).hexdigest().upper()
        check(entry.get("InstallerSha256") == digest, f"{msi.name}: SHA-256 {entry.get('InstallerSha256')}")
        properties = msi_properties(msi)
        code = properties.get("ProductCode")
        check(GUID.match(code or ""), f"{msi.name}: product code {code!r}")
        check(entry.get("ProductCode", installer.get("ProductCode")) == code, f"{msi.name}: product code")
        check(properties.get("ProductVersion") == version, f"{msi.name}: version {properties.get('ProductVersion')}")
        for arp in entry.get("AppsAndFeaturesEntries") or []:
            check(arp.get("ProductCode") == code, f"{msi.name}: entry's product code")
            check(arp.get("UpgradeCode") == properties.get("UpgradeCode"), f"{msi.name}: upgrade code")
            check(arp.get("DisplayVersion") == version, f"{msi.name}: entry's version")
            check(arp.get("Publisher") == locale["Publisher"] == properties.get("Manufacturer"), "publisher")
    present = {p.name for p in dist.glob("*.msi")}
    check(listed == present, f"installers listed {sorted(listed)}, in the folder {sorted(present)}")


if __name__ == "__main__":
    main(sys.argv[1])
    for error in errors:
        print("FAIL:", error)
    print("FAIL" if errors else "PASS")
    sys.exit(1 if errors else 0)
