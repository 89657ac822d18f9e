"""Bounded calls into Wine and X, and polling against a deadline.

Every outside program the driver runs goes through `run` (which kills it when its time is
up) or `spawn` (for programs that stay up, stopped by their owner). Nothing here sleeps to
let something happen: `wait_until` asks again until a condition holds or time runs out.
"""

import os
import signal
import subprocess
import time


class Timeout(AssertionError):
    """A call or a condition that did not finish in time; a failure, never a hang."""


def run(command, timeout, env=None, check=False, what=None):
    """Runs a command to its end within `timeout` seconds and returns the CompletedProcess.

    The whole process group is killed when the time is up, so that children a launcher
    left behind cannot keep the pipes open.
    """
    process = subprocess.Popen(
        command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
        stderr=subprocess.PIPE, start_new_session=True)
    try:
        out, err = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        kill_group(process)
        out, err = process.communicate()
        raise Timeout(f"{what or ' '.join(map(str, command))} did not finish in {timeout} s")
    result = subprocess.CompletedProcess(command, process.returncode, out, err)
    if check and result.returncode != 0:
        raise AssertionError(
            f"{what or ' '.join(map(str, command))} failed ({result.returncode}): "
            f"{err.decode(errors='replace').strip()[-2000:]}")
    return result


def spawn(command, env=None, log=None):
    """Starts a program that stays up; its output goes to `log` (a path) or nowhere."""
    output = open(log, "ab") if log else subprocess.DEVNULL
    try:
        return subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=output,
                                stderr=subprocess.STDOUT, start_new_session=True)
    finally:
        if log:
            output.close()


def kill_group(process):
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        pass


def wait_until(condition, timeout, what, interval=0.1):
    """Polls `condition` until it returns a true value, which is returned.

    `what` says what was awaited; it may be a function of the last value seen, so that a
    failure tells what there was instead.
    """
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() >= deadline:
            break
        time.sleep(interval)
    message = what(last) if callable(what) else what
    raise Timeout(f"{message} (waited {timeout} s)")


def wait_for_value(read, expected, timeout, what):
    """Polls `read()` until it equals `expected`; a failure names what was read last."""
    seen = []

    def matches():
        seen[:] = [read()]
        return seen[0] == expected

    try:
        wait_until(matches, timeout, what)
    except Timeout as timeout_error:
        raise Timeout(f"{timeout_error}: expected {expected!r}, got {seen[0]!r}") from None
