#!/usr/bin/env python3
"""scripts/package's winget manifests against the installers beside them: the three files of the
multi-file form are well-formed YAML with the fields the schema requires and agree with each
other; each installer entry names an MSI of the folder with its SHA-256, product code, upgrade
code and version as msiinfo reads them; every MSI of the folder has one entry.
    winget_check.py DIST   (DIST holds the MSIs and winget/)"""
import hashlib, pathlib, re, subprocess, sys
import yaml

REQUIRED = {
    "version": "DefaultLocale",
    "installer": "Installers",
    "defaultLocale": "PackageLocale Publisher PackageName License ShortDescription",
}
IDENTIFIER = re.compile(r"^[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}){1,7}$")
GUID = re.compile(r"^\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}$")
errors = []


def check(condition, message):
    if not condition:
        errors.append(message)
    return condition


def main(dist):
    found = {}
    for path in sorted((dist / "winget").glob("*.yaml")):
        try:
            document = yaml.safe_load(path.read_text(encoding="utf-8"))
        except yaml.YAMLError as error:
            check(False, f"{path.name}: not YAML: {error}")
            continue
        kind = document.get("ManifestType") if isinstance(document, dict) else None
        check(kind in REQUIRED and kind not in found, f"{path.name}: ManifestType {kind!r}")
        found[kind] = document
        for field in ("PackageIdentifier PackageVersion ManifestVersion " + REQUIRED.get(kind, "")).split():
            check(document.get(field) not in (None, "", []), f"{path.name}: no {field}")
    if not check(sorted(found, key=str) == sorted(REQUIRED), f"manifests found: {sorted(found, key=str)}"):
        return
    identity = {(d["PackageIdentifier"], d["PackageVersion"], d["ManifestVersion"]) for d in found.values()}
    identifier, version, _ = sorted(identity)[0]
    check(len(identity) == 1, f"the files disagree on identifier, version or schema: {identity}")
    check(IDENTIFIER.match(identifier) and (dist / "winget" / f"{identifier}.yaml").is_file(), identifier)
    locale, installer = found["defaultLocale"], found["installer"]
    check(found["version"]["DefaultLocale"] == locale["PackageLocale"], "default locale")
    listed = []
    for entry in installer["Installers"]:
        arch, url = entry.get("Architecture"), entry.get("InstallerUrl", "")
        check(entry.get("InstallerType", installer.get("InstallerType")) == "msi", f"{arch}: not msi")
        check(entry.get("Scope", installer.get("Scope")) == "machine", f"{arch}: not per machine")
        msi = dist / url.rsplit("/", 1)[-1]
        if not check(url.startswith("https://") and msi.name == f"Vorrasin-{version}-{arch}.msi" and msi.is_file(),
                     f"{arch}: installer {url!r}"):
            continue
        listed.append(msi.name)
        check(entry.get("InstallerSha256") == hashlib.sha256(msi.read_bytes()).hexdigest().upper(), f"{msi.name}: hash")
        out = subprocess.run(["msiinfo", "export", str(msi), "Property"], check=True, capture_output=True, text=True)
        properties = dict(line.split("\t", 1) for line in out.stdout.splitlines()[3:])
        code = properties.get("ProductCode", "")
        check(GUID.match(code) and entry.get("ProductCode") == code, f"{msi.name}: product code {code!r}")
        check((properties.get("ProductVersion"), properties.get("Manufacturer")) == (version, locale["Publisher"]),
              f"{msi.name}: version or publisher")
        for arp in entry.get("AppsAndFeaturesEntries") or []:
            check((arp.get("ProductCode"), arp.get("UpgradeCode"), arp.get("DisplayVersion"), arp.get("Publisher"))
                  == (code, properties.get("UpgradeCode"), version, locale["Publisher"]), f"{msi.name}: entry {arp}")
    check(sorted(listed) == sorted(p.name for p in dist.glob("*.msi")), f"installers listed: {listed}")


if __name__ == "__main__":
    main(pathlib.Path(sys.argv[1]))
    print("\n".join(f"FAIL: {error}" for error in errors) or "PASS")
    sys.exit(1 if errors else 0)
