#include "platform/background.h"

#include <deque>
#include <utility>
#include <vector>

#include "platform/win32/background_work.h"

namespace platform {

namespace {

using Job = std::pair<std::function<void()>, std::function<void()>>;

// Made once and never destroyed: the program's exit runs static destructors while the
// worker may still be in a job that waits on a disk.
struct Worker {
  CRITICAL_SECTION lock;
  CONDITION_VARIABLE wake;
  CONDITION_VARIABLE idle;
  std::deque<Job> jobs;
  std::vector<std::function<void()>> finished;
  bool busy = false;  // a job taken from the queue is under way
  HANDLE thread = nullptr;
  HWND notify = nullptr;
  UINT message = 0;
};

Worker& TheWorker() {
  static Worker* worker = [] {
    auto* made = new Worker;
    InitializeCriticalSection(&made->lock);
    InitializeConditionVariable(&made->wake);
    InitializeConditionVariable(&made->idle);
    return made;
  }();
  return *worker;
}

DWORD WINAPI WorkerThread(void*) {
  Worker& worker = TheWorker();
  for (;;) {
    EnterCriticalSection(&worker.lock);
    while (worker.jobs.empty()) SleepConditionVariableCS(&worker.wake, &worker.lock, INFINITE);
    Job job = std::move(worker.jobs.front());
    worker.jobs.pop_front();
    worker.busy = true;
    LeaveCriticalSection(&worker.lock);

    job.first();

    EnterCriticalSection(&worker.lock);
    worker.finished.push_back(std::move(job.second));
    worker.busy = false;
    const HWND notify = worker.notify;
    const UINT message = worker.message;
    WakeAllConditionVariable(&worker.idle);
    LeaveCriticalSection(&worker.lock);
    if (notify != nullptr) PostMessageW(notify, message, 0, 0);
  }
}

}  // namespace

void RunInBackground(std::function<void()> job, std::function<void()> done) {
  Worker& worker = TheWorker();
  EnterCriticalSection(&worker.lock);
  if (worker.thread == nullptr) {
    worker.thread = CreateThread(nullptr, 0, WorkerThread, nullptr, 0, nullptr);
  }
  const bool started = worker.thread != nullptr;
  if (started) {
    worker.jobs.emplace_back(std::move(job), std::move(done));
    WakeConditionVariable(&worker.wake);
  }
  LeaveCriticalSection(&worker.lock);
  // No thread to be had: the job runs here, late rather than never.
  if (!started) {
    job();
    done();
  }
}

void RunFinishedBackgroundWork() {
  Worker& worker = TheWorker();
  EnterCriticalSection(&worker.lock);
  std::vector<std::function<void()>> finished = std::move(worker.finished);
  worker.finished.clear();
  LeaveCriticalSection(&worker.lock);
  for (auto& done : finished) done();
}

bool WaitForBackgroundWork(std::uint32_t ms) {
  Worker& worker = TheWorker();
  const ULONGLONG deadline = GetTickCount64() + ms;
  EnterCriticalSection(&worker.lock);
  while (!worker.jobs.empty() || worker.busy) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    SleepConditionVariableCS(&worker.idle, &worker.lock, static_cast<DWORD>(deadline - now));
  }
  const bool idle = worker.jobs.empty() && !worker.busy;
  LeaveCriticalSection(&worker.lock);
  RunFinishedBackgroundWork();
  return idle;
}

}  // namespace platform

namespace platform::win32 {

void SetBackgroundNotify(HWND notify, UINT message) {
  Worker& worker = TheWorker();
  EnterCriticalSection(&worker.lock);
  worker.notify = notify;
  worker.message = message;
  LeaveCriticalSection(&worker.lock);
}

}  // namespace platform::win32
