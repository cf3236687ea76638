"""Harvex's readers of Gaussian and ORCA outputs as a Python module.

``read`` loads one file (a path, or bytes with the name they would have),
``read_many`` many in order on several threads, ``thermo`` recomputes the
thermochemistry of a loaded frequency job, ``table`` gives the study table
and ``check`` the study's findings. Every value is the one ``harvex-batch``
reports for the file; a value the file did not give is None.
"""

import errno
import json
import os
from collections import namedtuple
from dataclasses import dataclass

from . import _harvex

__all__ = ["Finding", "LoadError", "Output", "Thermo", "check", "read", "read_many", "table", "thermo"]


class LoadError(Exception):
    """A file that could not be read: ``path`` and the core's ``reason``."""

    def __init__(self, path, reason, *os_error):
        super().__init__(*(os_error or (f"{path}: {reason}",)))
        self.path = path
        self.reason = reason

    def __str__(self):
        return f"{self.path}: {self.reason}"


class LoadFileNotFoundError(LoadError, FileNotFoundError):
    """A path that names nothing."""


class LoadIsADirectoryError(LoadError, IsADirectoryError):
    """A folder given to ``read``, which takes files (``read_many`` walks folders)."""


class LoadPermissionError(LoadError, PermissionError):
    """A file the process may not read."""


_OS_ERRORS = {
    errno.ENOENT: LoadFileNotFoundError,
    errno.EISDIR: LoadIsADirectoryError,
    errno.EACCES: LoadPermissionError,
}


def _os_error_code(path):
    if not os.path.lexists(path):
        return errno.ENOENT
    if os.path.isdir(path):
        return errno.EISDIR
    if not os.access(path, os.R_OK):
        return errno.EACCES
    return None


def _raise_load_error(loaded, on_disk):
    code = _os_error_code(loaded.path) if on_disk else None
    if code is not None:
        # A folder is no file at all: the system's words say so better than
        # the reason a file of its name would have.
        reason = os.strerror(code) if code == errno.EISDIR else loaded.reason
        raise _OS_ERRORS[code](loaded.path, reason, code, reason, loaded.path)
    raise LoadError(loaded.path, loaded.reason)


_MEMBERS = (
    "path", "kind", "program", "program_version", "status", "reason", "energy", "energy_label", "gibbs", "zpe",
    "frequencies", "ir_intensities", "first_frequency", "symbols", "numbers", "coordinates", "counterpoise",
    "warnings", "method", "basis", "solvation", "dispersion", "charge", "multiplicity", "s2",
)

Finding = namedtuple("Finding", "code severity file text")
Finding.__doc__ = """What makes a structure wrong or two energies incomparable: a stable
``code`` ("imaginary-minimum", "method-differs", ...), ``severity`` "error" or
"warning", the ``file`` (None for a finding across files, whose text names
them) and a ``text`` with the evidence, as ``harvex-batch --check`` lists it."""


class Output:
    """One loaded file. Energies in Hartree, frequencies in cm-1 (imaginary
    ones negative), coordinates in angstrom (N x 3), the counterpoise pair
    (BSSE correction, stabilisation energy) in kcal/mol."""

    __slots__ = ("_loaded",)

    def __init__(self, loaded):
        self._loaded = loaded

    def as_dict(self):
        """The file's object exactly as ``harvex-batch --json`` prints it."""
        try:
            return json.loads(self._loaded.json())
        except RuntimeError as error:
            raise LoadError(self.path, self.reason) from error

    @property
    def findings(self):
        """The file's own findings (list of Finding); those across files come
        from ``check``."""
        return [Finding(*pieces) for pieces in self._loaded.findings]

    def __repr__(self):
        return f"<harvex.Output {self.path!r} {self.status} energy={self.energy}>"


def _member(name):
    return property(lambda self: getattr(self._loaded, name), doc=f"The file's {name.replace('_', ' ')}.")


for _name in _MEMBERS:
    setattr(Output, _name, _member(_name))


def _path_text(path):
    return os.fsdecode(os.fspath(path))


def read(source, *, name=None):
    """Loads one file: a path (str or os.PathLike), or ``bytes`` that ``name``
    says what they are (``"x.out.gz"``). Raises LoadError (FileNotFoundError,
    IsADirectoryError, PermissionError where those apply) when the file could
    not be read at all; a failed or unfinished job loads with its status."""
    if isinstance(source, (bytes, bytearray, memoryview)):
        if not name:
            raise ValueError("bytes need a name that says what they are, such as name='x.out.gz'")
        loaded = _harvex.load_bytes(_path_text(name), bytes(source))
        on_disk = False
    else:
        if name is not None:
            raise ValueError("name is for bytes; a path names itself")
        loaded = _harvex.load_path(_path_text(source))
        on_disk = True
    if loaded.status == "unreadable":
        _raise_load_error(loaded, on_disk)
    return Output(loaded)


def _check_jobs(jobs):
    if not isinstance(jobs, int) or isinstance(jobs, bool) or not 0 <= jobs <= _harvex.MAX_JOBS:
        raise ValueError(f"jobs needs a number from 0 (one per core) to {_harvex.MAX_JOBS}, not {jobs!r}")


def _path_list(paths):
    if isinstance(paths, (str, bytes, os.PathLike)):
        return [_path_text(paths)]
    return [_path_text(path) for path in paths]


def read_many(paths, *, jobs=1, errors="raise"):
    """Loads the files of ``paths`` in the order given, up to ``jobs`` at once
    (0: one per core), with the interpreter's lock released while they load.
    A folder stands for the outputs in and below it, a ``.txt`` file for the
    paths it lists, as in harvex-batch. With ``errors="raise"`` a file that
    could not be read raises LoadError where it comes; with ``"keep"`` it comes
    as an Output whose status is "unreadable"."""
    _check_jobs(jobs)
    if errors not in ("raise", "keep"):
        raise ValueError(f"errors needs 'raise' or 'keep', not {errors!r}")
    batch = _harvex.LoadBatch(_path_list(paths), jobs)

    def outputs():
        for loaded in batch:
            if errors == "raise" and loaded.status == "unreadable":
                _raise_load_error(loaded, True)
            yield Output(loaded)

    return outputs()


@dataclass(frozen=True)
class Thermo:
    """Recomputed thermochemistry of one frequency job at one set of
    conditions, Hartree per particle; None where the file gives no value.
    ``self_check`` is the recomputed G minus the printed one at the job's own
    conditions."""

    temperature: float
    pressure: float
    concentration: float
    symmetry_number: int
    multiplicity: int
    rotor: str
    modes_used: int
    imaginary_modes: int
    inverted_modes: list
    scale: float
    energy: float
    zpe: float
    h: float
    qh_h: float
    t_s: float
    t_qh_s: float
    g: float
    qh_g: float
    printed_g: float
    self_check: float
    warnings: list


# The members of the --thermo JSON object by their names here.
_THERMO_KEYS = {
    "Temperature": "temperature", "Pressure": "pressure", "Concentration": "concentration",
    "SymmetryNumber": "symmetry_number", "Multiplicity": "multiplicity", "Rotor": "rotor",
    "ModesUsed": "modes_used", "ImaginaryModes": "imaginary_modes", "InvertedModes": "inverted_modes",
    "Scale": "scale", "E": "energy", "ZPE": "zpe", "H": "h", "QhH": "qh_h", "TS": "t_s", "TQhS": "t_qh_s",
    "G": "g", "QhG": "qh_g", "PrintedG": "printed_g", "SelfCheck": "self_check", "Warnings": "warnings",
}


def thermo(output, *, temperature=298.15, pressure=1.0, concentration=None, qs="grimme", qh=False, cutoff=100.0,
           scale=1.0, imaginary="drop"):
    """The thermochemistry of ``output`` (an Output, or a path to read)
    recomputed as ``harvex-batch --thermo`` does: the standard state at
    ``pressure`` atm, or at ``concentration`` mol/L when one is given; ``qs``
    grimme, truhlar or none; ``qh`` Head-Gordon's enthalpy; ``imaginary``
    drop, invert or invert:CM."""
    if not isinstance(output, Output):
        output = read(output)
    conditions = _conditions(temperature=temperature, pressure=pressure, concentration=concentration, qs=qs, qh=qh,
                             cutoff=cutoff, scale=scale, imaginary=imaginary)
    try:
        text = output._loaded.thermo_json(conditions)
    except RuntimeError as error:
        raise LoadError(output.path, output.reason) from error
    values = json.loads(text)
    return Thermo(**{_THERMO_KEYS[key]: value for key, value in values.items()})


_THERMO_DEFAULTS = {"temperature": 298.15, "pressure": 1.0, "concentration": None, "qs": "grimme", "qh": False,
                    "cutoff": 100.0, "scale": 1.0, "imaginary": "drop"}


def _conditions(**given):
    """The core's conditions of thermo()'s keywords, checked as harvex-batch
    checks its options."""
    unknown = set(given) - set(_THERMO_DEFAULTS)
    if unknown:
        raise TypeError(f"unknown thermochemistry conditions: {', '.join(sorted(unknown))}")
    values = {**_THERMO_DEFAULTS, **given}
    if values["concentration"] is not None and values["pressure"] == 1.0:
        values["pressure"] = None
    number = lambda value: None if value is None else float(value)  # noqa: E731
    return _harvex.ThermoConditions(float(values["temperature"]), number(values["pressure"]),
                                    number(values["concentration"]), values["qs"], bool(values["qh"]),
                                    float(values["cutoff"]), float(values["scale"]), values["imaginary"])


def _frame(pieces):
    """A table of the core as a DataFrame: number columns as numbers, an empty
    cell (a value not read) as NaN, whole counts as pandas' nullable Int64;
    the notes in ``attrs["notes"]``."""
    import pandas

    notes, columns, rows = pieces
    frame = pandas.DataFrame(rows, columns=[name for name, _ in columns], dtype=object)
    for name, number in columns:
        if number:
            values = pandas.to_numeric(frame[name].replace("", None))
            whole = name in ("imaginary modes", "rank", "duplicate of")
            frame[name] = values.astype("Int64") if whole else values.astype("float64")
        else:
            frame[name] = frame[name].astype(str)
    frame.attrs["notes"] = list(notes)
    return frame


def _study_frame(outputs, thermo, ensemble):
    conditions = None if thermo is None else _conditions(**thermo)
    tables = _harvex.study_tables([output._loaded for output in outputs], conditions, ensemble)
    study = _frame(tables["study"])
    if not ensemble:
        return study
    import pandas

    parts = []
    for formula, pieces in tables["ensembles"]:
        members = _frame(pieces).rename(columns={"path": "file"})
        members = members.drop(columns=[name for name in members.columns if name in study.columns and name != "file"])
        members.insert(0, "formula", formula)
        parts.append(members)
    if not parts:
        return study
    ranked = pandas.concat(parts, ignore_index=True)
    frame = study.merge(ranked, on="file", how="left", sort=False)
    frame.attrs["notes"] = study.attrs["notes"] + [note for _, pieces in tables["ensembles"] for note in pieces[0]]
    return frame


def table(paths, *, jobs=1, thermo=None, ensemble=False):
    """The study table of ``paths`` as a pandas DataFrame, one row per file in
    the order read_many gives them, with the columns and values of
    ``harvex-batch --table``: a file that could not be read is a row with its
    status and reason. ``thermo``, a dict of thermo()'s keywords, adds the
    recomputed qh-G at those conditions; ``ensemble=True`` adds each file's
    formula, rank, energies relative to the lowest conformer, population and
    the conformer it repeats, as ``harvex-batch --ensemble`` ranks them (by
    the free energy recomputed at ``thermo``'s conditions)."""
    return _study_frame(list(read_many(paths, jobs=jobs, errors="keep")), thermo, ensemble)


def check(study, *, jobs=1, per_molecule=False):
    """The findings of ``study`` (paths as read_many takes them, or Outputs
    already read) as ``harvex-batch --check`` lists them: each file's own in
    order, then those across the files (differing methods, basis sets,
    solvents, dispersion corrections, program versions and conditions, and
    duplicates). ``per_molecule`` also compares the files of each molecular
    formula among themselves, as ``--check --ensemble`` does. A file that
    could not be read gives none."""
    if isinstance(study, Output):
        study = [study]
    elif not isinstance(study, (str, bytes, os.PathLike)):
        study = list(study)
    if isinstance(study, list) and study and all(isinstance(item, Output) for item in study):
        outputs = study
    else:
        outputs = list(read_many(study, jobs=jobs, errors="keep"))
    loaded = [output._loaded for output in outputs]
    return [Finding(*pieces) for pieces in _harvex.check_findings(loaded, per_molecule)]
