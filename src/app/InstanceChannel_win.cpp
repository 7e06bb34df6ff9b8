#include "app/InstanceChannel.h"

#include <windows.h>

#include "framework/Handles_win.h"
#include "framework/Wide.h"

namespace {

// Mark the channel's WM_COPYDATA: a command, and its outcome.
constexpr ULONG_PTR CommandTag = 0x4B444E43;  // "KDNC"
constexpr ULONG_PTR DoneTag = 0x4B444E44;     // "KDND"
constexpr ULONG_PTR FailedTag = 0x4B444E46;   // "KDNF", with the message
constexpr LRESULT Taken = 1;
// Posted by the server to itself: run what it took.
constexpr UINT RunTakenMessage = WM_USER_BASE + 1;

// A program that is starting gets this long to make its window; one that
// runs, to take the command; the command, to run (applying a large picture
// takes a while).
constexpr int StartingMilliseconds = 30000;
constexpr UINT TakingMilliseconds = 30000;
constexpr DWORD RunningMilliseconds = 120000;

std::wstring UserName() {
  wchar_t name[257];
  DWORD size = 257;
  return GetUserNameW(name, &size) ? std::wstring(name) : std::wstring(L"user");
}

// The lock lives in the session's namespace, and both it and the window are
// named for the user: another user's Kaleidon in the same session is not ours.
std::wstring LockName() { return L"Local\\Trellwick Kaleidon " + UserName(); }
std::wstring WindowName() { return L"Kaleidon commands of " + UserName(); }

bool Send(HWND to, HWND from, ULONG_PTR tag, const std::string& text, UINT milliseconds) {
  COPYDATASTRUCT data{tag, DWORD(text.size()), const_cast<char*>(text.data())};
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(to, WM_COPYDATA, WPARAM(from), LPARAM(&data), SMTO_NORMAL, milliseconds, &answer) &&
         answer == Taken;
}

const COPYDATASTRUCT* Data(const TMessage& m, ULONG_PTR tag) {
  if (m.Msg != WM_COPYDATA) return nullptr;
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(m.LParam);
  return data->dwData == tag ? data : nullptr;
}

std::string TextOf(const COPYDATASTRUCT& data) {
  return std::string(static_cast<const char*>(data.lpData), data.cbData);
}

bool InstanceRunning() { return bool(TKernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, LockName().c_str()))); }

HWND FindServer() {
  for (int waited = 0; InstanceRunning() && waited <= StartingMilliseconds; waited += 100) {
    if (HWND server = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, WindowName().c_str())) return server;
    Sleep(100);
  }
  return nullptr;
}

// The outcome's window, while the sender waits.
struct TOutcome {
  bool Arrived = false;
  bool Failed = false;
  std::string Message;
};

// Waits for the outcome, handing the messages that arrive meanwhile to
// their windows; false when the server's program ends first or the time is up.
bool WaitForOutcome(HANDLE server, const TOutcome& outcome) {
  const ULONGLONG deadline = GetTickCount64() + RunningMilliseconds;
  while (!outcome.Arrived) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const DWORD woke = MsgWaitForMultipleObjects(1, &server, FALSE, DWORD(deadline - now), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (woke == WAIT_OBJECT_0 && !outcome.Arrived) return false;
  }
  return true;
}

}  // namespace

struct TInstanceLock::TImpl {
  TKernelHandle Mutex;
  bool Acquired = false;
};

TInstanceLock::TInstanceLock() : FImpl(new TImpl) {
  FImpl->Mutex.Reset(CreateMutexW(nullptr, FALSE, LockName().c_str()));
  FImpl->Acquired = FImpl->Mutex && GetLastError() != ERROR_ALREADY_EXISTS;
}

TInstanceLock::~TInstanceLock() = default;

bool TInstanceLock::Acquired() const { return FImpl->Acquired; }

TCommandServer::TCommandServer(TComponent* AOwner, THandler handler)
    : TComponent(AOwner), FHandler(std::move(handler)) {
  FWindow = std::make_unique<TMessageWindow>(TMessageWindow::TKind::MessageOnly, WideToUtf8(WindowName()),
                                             [this](TMessage& m) {
                                               if (m.Msg == RunTakenMessage) {
                                                 RunTaken();
                                                 return true;
                                               }
                                               const COPYDATASTRUCT* data = Data(m, CommandTag);
                                               if (!data) return false;
                                               FTaken.push_back({reinterpret_cast<void*>(m.WParam), TextOf(*data)});
                                               FWindow->Post(RunTakenMessage);
                                               m.Result = Taken;
                                               return true;
                                             });
}

// A sender that stopped waiting has no window left: its outcome is lost.
void TCommandServer::RunTaken() {
  if (FTaken.empty()) return;
  const TTaken taken = FTaken.front();
  FTaken.pop_front();
  const std::string failure = Receive(taken.Text);
  Send(static_cast<HWND>(taken.Sender), static_cast<HWND>(FWindow->Handle()), failure.empty() ? DoneTag : FailedTag,
       failure, 5000);
}

int SendToRunningProgram(const TCommand& command, std::string& message) {
  const HWND server = FindServer();
  DWORD processId = 0;
  if (server) GetWindowThreadProcessId(server, &processId);
  const TKernelHandle process(processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr);
  if (!process) {
    message = "Kaleidon is not running.";
    return ecFailed;
  }
  TOutcome outcome;
  const TMessageWindow sender(TMessageWindow::TKind::MessageOnly, "Kaleidon command", [&](TMessage& m) {
    const COPYDATASTRUCT* data = Data(m, DoneTag);
    if (!data) data = Data(m, FailedTag);
    if (!data) return false;
    outcome = {true, data->dwData == FailedTag, TextOf(*data)};
    m.Result = Taken;
    return true;
  });
  if (!Send(server, static_cast<HWND>(sender.Handle()), CommandTag, EncodeCommand(command), TakingMilliseconds) ||
      !WaitForOutcome(process.Get(), outcome)) {
    message = "Kaleidon did not answer.";
    return ecFailed;
  }
  if (!outcome.Failed) return ecDone;
  message = outcome.Message;
  return ecFailed;
}
