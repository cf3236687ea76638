"""Runs the module's tests by pytest; exits 77 (skipped) when the module
cannot be imported into this Python because a sanitizer runtime it carries
cannot be loaded, and says why. Guarded: Dask's worker processes start by
importing this file again."""

import sys


def main():
    try:
        import harvex  # noqa: F401
    except ImportError as error:
        if "asan" in str(error).lower() or "sanitizer" in str(error).lower():
            print(f"skipped: the module's sanitizer runtime cannot be loaded into Python: {error}")
            return 77
        raise

    import pytest

    return pytest.main(["-q", "-p", "no:cacheprovider", sys.argv[1]])


if __name__ == "__main__":
    sys.exit(main())
