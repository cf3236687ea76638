"""The Python module against harvex-batch: every member of a loaded file, bytes
against paths, the order of many loads, the recomputed thermochemistry and
the errors of files that cannot be read."""

import gzip
import json
import math
import os
import subprocess
from pathlib import Path

import numpy
import pytest

import harvex

DATA = Path(os.environ["HARVEX_TEST_DATA"])
EXAMPLES = Path(os.environ["HARVEX_EXAMPLES"])
BATCH = os.environ["HARVEX_BATCH"]
REAL = os.environ.get("HARVEX_REAL_OUTPUTS", "")

LOADABLE = ("*.out", "*.zip", "*.cdf", "*.gjf", "*.xyz")


def files_under(folder):
    return sorted(str(path) for pattern in LOADABLE for path in Path(folder).rglob(pattern))


FILES = files_under(DATA) + files_under(EXAMPLES) + (files_under(REAL) if REAL and Path(REAL).is_dir() else [])


def batch_json(paths, *options):
    """harvex-batch --json's object for each file it reported, by path."""
    run = subprocess.run([BATCH, "--json", "--quiet", "--results", os.devnull, *options, *paths],
                         capture_output=True, text=True, check=False)
    return {obj["Path"]: obj for obj in map(json.loads, run.stdout.splitlines())}


@pytest.fixture(scope="module")
def reported():
    return batch_json(FILES)


def expected_members(obj):
    """What each member of Output stands for in the file's JSON object."""
    info, conformer, atoms = obj["Info"], obj["Conformer"], obj["Atoms"]
    modes = (info["Modes"] or {}).get("Modes") or []
    intensities = [next((a["Value"] for a in mode["Attributes"] if a["Name"] in ("IR Inten", "IR Intensities")),
                        math.nan) for mode in modes]
    kcal = 627.5095
    cdf = conformer["IsCdf"]
    return {
        "path": obj["Path"],
        "kind": "cdf" if cdf else {"Output": "output", "XYZ": "xyz", "GJF": "gjf"}.get(obj["FileKind"]),
        "program": obj["Program"], "program_version": obj["ProgramVersion"],
        "status": obj["Status"], "reason": obj["Reason"],
        "energy": conformer["ETotal"] if cdf else (info["Energy"] if obj["FileKind"] == "Output" else None),
        "energy_label": None if cdf else info["EnergyLabel"],
        "gibbs": conformer["GTotal"] if cdf else info["GibbsEnergy"],
        "zpe": conformer["EZpeTotal"] if cdf else info["ZPECorrection"],
        "frequencies": [mode["Frequency"] for mode in modes] or None,
        "ir_intensities": intensities if any(not math.isnan(v) for v in intensities) else None,
        "first_frequency": modes[0]["Frequency"] if modes else None,
        "symbols": [atom["Symbol"] for atom in atoms] or None,
        "numbers": [atom["Element"] for atom in atoms] or None,
        "coordinates": [[atom["X"], atom["Y"], atom["Z"]] for atom in atoms] or None,
        "counterpoise": ((info["MCBSSum"] - info["DCBSSum"]) * kcal, (info["Energy"] - info["MCBSSum"]) * kcal)
        if info["HasCounterpoise"] and not cdf else None,
        **{member: info[key] for member, key in (("method", "Method"), ("basis", "Basis"), ("solvation", "Solvation"),
                                                 ("dispersion", "Dispersion"), ("charge", "Charge"),
                                                 ("multiplicity", "Multiplicity"), ("s2", "S2"))},
    }


def same(actual, expected):
    if expected is None or actual is None:
        return actual is None and expected is None
    if isinstance(expected, tuple):
        return actual == pytest.approx(expected, rel=1e-8)  # the core sums in extended reals
    if isinstance(actual, numpy.ndarray):
        return numpy.array_equal(actual, numpy.array(expected, dtype=actual.dtype), equal_nan=True)
    return actual == expected


@pytest.mark.parametrize("path", FILES, ids=lambda path: os.path.relpath(path, DATA.parent.parent))
def test_every_member_is_what_harvex_batch_reports(path, reported):
    full = os.path.abspath(path)
    if full not in reported:
        # A load that ended in an error gives no object: read names the error.
        with pytest.raises(harvex.LoadError):
            harvex.read(path)
        return
    obj = reported[full]
    if obj["Status"] == "unreadable":
        with pytest.raises(harvex.LoadError, match=obj["Reason"]):
            harvex.read(path)
        (output,) = harvex.read_many([path], errors="keep")
    else:
        output = harvex.read(path)
    assert output.as_dict() == obj
    for member, expected in expected_members(obj).items():
        assert same(getattr(output, member), expected), member


def test_warnings_are_the_boxes_of_the_load_in_order(tmp_path):
    text = b"# hf\n\ntitle\n\n0 1\nC 0 0 0\nQb 1 0 0\nQa 0 1 0\n\n"
    path = tmp_path / "unknown.gjf"
    path.write_bytes(text)
    boxes = subprocess.run([BATCH, "--quiet", "--results", os.devnull, str(path)], capture_output=True,
                           text=True).stderr
    expected = ['UNKNOWN ATOM: "Qb"', 'UNKNOWN ATOM: "Qa"']
    assert [line.split("Error: ", 1)[1] for line in boxes.splitlines() if "UNKNOWN" in line] == expected
    assert harvex.read(path).warnings == expected
    assert harvex.read(text, name="unknown.gjf").warnings == expected


def gzipped(data):
    return gzip.compress(data, mtime=0)


@pytest.mark.parametrize("path, name, pack", [
    (EXAMPLES / "CH4.out", "CH4.out", bytes),
    (EXAMPLES / "CH4.out", "CH4.out.gz", gzipped),
    (DATA / "zip" / "deflated_member.zip", "member.zip", bytes),
    (DATA / "geometry" / "orca" / "dvb_ir.out", "dvb_ir.log", bytes),
])
def test_bytes_load_as_the_file_they_were_read_from(path, name, pack):
    from_path = harvex.read(path).as_dict()
    from_bytes = harvex.read(pack(path.read_bytes()), name=name).as_dict()
    assert from_bytes["Path"] == name
    for key in ("Path", "FileName"):
        from_path.pop(key), from_bytes.pop(key)
    assert from_bytes == from_path


def test_bytes_need_a_name():
    with pytest.raises(ValueError):
        harvex.read(b"x")


def test_read_many_keeps_the_order_given_on_four_threads(tmp_path):
    files = [path for path in FILES if path.endswith(".out")]
    paths = [files[(index * 7) % len(files)] for index in range(120)]
    listed = tmp_path / "list.txt"
    listed.write_text("\n".join(paths[:10]) + "\n")
    given = paths + [str(listed), str(DATA / "gaussian")]
    expected = [os.path.abspath(p) for p in paths + paths[:10] + files_under(DATA / "gaussian")]
    for jobs in (1, 4):
        outputs = list(harvex.read_many(given, jobs=jobs, errors="keep"))
        assert [output.path for output in outputs] == expected
    energies = {path: next(harvex.read_many([path], errors="keep")).energy for path in set(paths)}
    assert [output.energy for output in outputs[:120]] == [energies[path] for path in paths]


def test_read_many_raises_where_an_unreadable_file_comes(tmp_path):
    binary = tmp_path / "noise.out"
    binary.write_bytes(bytes(range(256)) * 4)
    good = str(EXAMPLES / "CH4.out")
    outputs = harvex.read_many([good, binary, good], jobs=2)
    assert next(outputs).energy == pytest.approx(-40.2649626256)
    with pytest.raises(harvex.LoadError, match="no Gaussian or ORCA banner"):
        next(outputs)
    kept = [output.status for output in harvex.read_many([good, binary, tmp_path / "none.txt"], errors="keep")]
    assert kept == ["ok", "unreadable", "unreadable"]


@pytest.mark.parametrize("make, error, reason", [
    (lambda tmp: tmp / "missing.out", FileNotFoundError, "No such file or directory"),
    (lambda tmp: tmp, IsADirectoryError, "Is a directory"),
    (lambda tmp: (tmp / "noise.out").write_bytes(bytes(range(256))) and tmp / "noise.out", None,
     "no Gaussian or ORCA banner"),
])
def test_files_that_cannot_be_read_raise_with_the_core_reason(tmp_path, make, error, reason):
    path = make(tmp_path)
    with pytest.raises(harvex.LoadError, match=reason) as raised:
        harvex.read(path)
    assert raised.value.path == os.path.abspath(path)
    if error:
        assert isinstance(raised.value, error)


@pytest.mark.parametrize("kwargs, options", [
    ({}, []),
    ({"concentration": 1.0, "qh": True, "qs": "truhlar"}, ["--concentration", "1", "--qh", "--qs", "truhlar"]),
    ({"temperature": 350, "pressure": 2.0, "scale": 0.97, "cutoff": 50, "imaginary": "invert:-20", "qs": "none"},
     ["--temperature", "350", "--pressure", "2", "--scale", "0.97", "--cutoff", "50", "--imaginary", "invert:-20",
      "--qs", "none"]),
])
def test_thermo_gives_the_numbers_of_harvex_batch(kwargs, options):
    paths = [str(DATA / "gaussian" / "TS_freq.out"), str(EXAMPLES / "CH4.out"), str(DATA / "geometry/orca/dvb_ir.out")]
    reported = batch_json(paths, "--thermo", *options)
    for path in paths:
        expected = reported[os.path.abspath(path)]["Thermo"][0]
        record = harvex.thermo(harvex.read(path), **kwargs)
        assert [getattr(record, name) for name in harvex._THERMO_KEYS.values()] == list(expected.values())


@pytest.mark.parametrize("kwargs", [
    {"temperature": 0.5}, {"qs": "goodvibes"}, {"imaginary": "invert:5"}, {"scale": 20},
    {"pressure": 2.0, "concentration": 1.0},
])
def test_thermo_refuses_conditions_harvex_batch_refuses(kwargs):
    with pytest.raises(ValueError):
        harvex.thermo(harvex.read(EXAMPLES / "CH4.out"), **kwargs)


@pytest.mark.parametrize("per_molecule", [False, True])
def test_check_lists_the_findings_of_harvex_batch_check(tmp_path, per_molecule):
    paths = [str(DATA / "gaussian"), str(DATA / "geometry" / "orca"), str(DATA / "cdf")]
    listed = tmp_path / "findings.tsv"
    ensemble = [f"--ensemble={os.devnull}"] if per_molecule else []
    subprocess.run([BATCH, "--quiet", "--results", os.devnull, f"--check={listed}", *ensemble, *paths],
                   capture_output=True, check=False)
    expected = [tuple(line.split("\t")) for line in listed.read_text().splitlines()]
    assert {severity for severity, *_ in expected} == {"error", "warning"}
    assert any(text.startswith("H2O: ") for *_, text in expected) == per_molecule
    outputs = list(harvex.read_many(paths, errors="keep"))
    for findings in (harvex.check(paths, jobs=2, per_molecule=per_molecule),
                     harvex.check(outputs, per_molecule=per_molecule)):
        assert [(f.severity, f.code, f.file or "", f.text) for f in findings] == expected
    own = [finding for output in outputs for finding in output.findings]
    assert own == [finding for finding in harvex.check(outputs) if finding.file is not None]


def batch_tables(tmp_path, paths, *options):
    """harvex-batch's study table, and its ensemble table, as DataFrames of
    the cells it writes."""
    import pandas

    study, ensembles = tmp_path / "study.tsv", tmp_path / "ensembles.tsv"
    subprocess.run([BATCH, "--quiet", "--results", os.devnull, f"--table={study}", f"--ensemble={ensembles}",
                    *options, *paths], capture_output=True, check=False)
    read = lambda path: pandas.read_csv(path, sep="\t", comment="#", dtype=str, keep_default_na=False)  # noqa: E731
    return read(study), ensembles.read_text()


@pytest.mark.parametrize("thermo, options", [
    (None, []),
    ({"concentration": 1.0, "qh": True, "temperature": 310}, ["--thermo=/dev/null", "--concentration", "1", "--qh",
                                                               "--temperature", "310"]),
])
def test_table_holds_the_study_table_of_harvex_batch(tmp_path, thermo, options):
    import pandas

    paths = [str(DATA / "cdf"), str(DATA / "gaussian"), str(tmp_path / "missing.out")]
    expected, ensembles = batch_tables(tmp_path, paths, *options)
    frame = harvex.table(paths, jobs=2, thermo=thermo, ensemble=True)
    assert list(frame.columns[:len(expected.columns)]) == list(expected.columns)
    for name in expected.columns:
        cells = expected[name].replace("", None)
        if frame[name].dtype == object:
            assert list(frame[name]) == list(expected[name]), name
        else:
            actual = [None if value is pandas.NA or value != value else float(value) for value in frame[name]]
            assert actual == [None if cell is None else float(cell) for cell in cells], name
    # Every ranked file's population is the one its ensemble's table gives.
    for _, row in frame.dropna(subset=["population [%]"]).iterrows():
        line = next(line for line in ensembles.splitlines() if f"\t{row['file']}\t" in line)
        assert f"\t{row['population [%]']:.1f}\t" in line


def test_dask_table_on_two_workers_is_the_table(tmp_path):
    import pandas
    from distributed import Client, LocalCluster

    import harvex.dask

    listed = tmp_path / "list.txt"
    listed.write_text(f"{EXAMPLES / 'CH4.out'}\n{tmp_path / 'gone.out'}\n")
    paths = [str(DATA / "gaussian"), str(DATA / "cdf"), str(listed), str(tmp_path / "empty.txt")]
    (tmp_path / "empty.txt").write_text("")
    thermo = {"concentration": 1.0}
    with LocalCluster(n_workers=2, threads_per_worker=1, dashboard_address=None) as cluster, Client(cluster):
        frame = harvex.dask.table(paths, partition_size=4, thermo=thermo)
        assert frame.npartitions > 2
        read = frame.compute()
    pandas.testing.assert_frame_equal(read, harvex.table(paths, thermo=thermo))
