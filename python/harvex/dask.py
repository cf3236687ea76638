"""The study table of harvex.table as a Dask DataFrame, for studies past one
machine: each partition reads its files with read_many on a Dask worker, so
that a study on a cluster's shared file system is read under Dask's
scheduler. Run it with a ``dask.distributed.Client`` of that cluster
(``Client("tcp://scheduler:8786")``) or a ``LocalCluster``; without one,
Dask's default scheduler reads the partitions."""

import dask
import dask.dataframe

import harvex
from . import _harvex

__all__ = ["table"]


def _partition(paths, start, jobs, thermo):
    frame = harvex.table(paths, jobs=jobs, thermo=thermo)
    frame.index = range(start, start + len(frame))
    return frame


def table(paths, *, partition_size=200, jobs=1, thermo=None, ensemble=False):
    """harvex.table(paths, ...) as a dask.dataframe.DataFrame of partitions of
    ``partition_size`` files each, with the same rows in the same order.
    Folders and lists are expanded here, where the call is made, so every
    worker must see the files under the same paths. ``ensemble`` needs every
    file in one place: use harvex.table for it."""
    if ensemble:
        raise ValueError("an ensemble ranks every file of a study at once: use harvex.table(..., ensemble=True)")
    if not isinstance(partition_size, int) or partition_size < 1:
        raise ValueError(f"partition_size needs a whole number from 1, not {partition_size!r}")
    harvex._check_jobs(jobs)
    files = _harvex.LoadBatch(harvex._path_list(paths), 1).paths()
    meta = harvex.table([], thermo=thermo)
    parts = [dask.delayed(_partition)(files[start:start + partition_size], start, jobs, thermo)
             for start in range(0, len(files), partition_size)]
    if not parts:
        return dask.dataframe.from_pandas(meta, npartitions=1)
    divisions = [*range(0, len(files), partition_size), len(files) - 1]
    return dask.dataframe.from_delayed(parts, meta=meta, divisions=divisions, verify_meta=False)
