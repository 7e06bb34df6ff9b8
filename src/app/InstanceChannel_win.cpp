#include "app/InstanceChannel.h"

#include <windows.h>

#include "framework/Handles_win.h"
#include "framework/Wide.h"

namespace {

// Marks the channel's WM_COPYDATA, a command and a failure's message.
constexpr ULONG_PTR CommandTag = 0x4B444E43;  // "KDNC"
constexpr ULONG_PTR FailureTag = 0x4B444E46;  // "KDNF"
// What the running program answers a command.
constexpr LRESULT AnswerDone = 1;
constexpr LRESULT AnswerFailed = 2;

// A command may wait while the program applies a large picture; a program
// that is starting gets this long to make its window.
constexpr UINT AnswerMilliseconds = 120000;
constexpr int StartingMilliseconds = 30000;

std::wstring UserName() {
  wchar_t name[257];
  DWORD size = 257;
  return GetUserNameW(name, &size) ? std::wstring(name) : std::wstring(L"user");
}

// The lock lives in the session's namespace, and both it and the window are
// named for the user: another user's Kaleidon in the same session is not ours.
std::wstring LockName() { return L"Local\\Trellwick Kaleidon " + UserName(); }
std::wstring WindowName() { return L"Kaleidon commands of " + UserName(); }

bool Send(HWND to, HWND from, ULONG_PTR tag, const std::string& text, UINT milliseconds, DWORD_PTR& answer) {
  COPYDATASTRUCT data{tag, DWORD(text.size()), const_cast<char*>(text.data())};
  return SendMessageTimeoutW(to, WM_COPYDATA, WPARAM(from), LPARAM(&data), SMTO_NORMAL, milliseconds, &answer) != 0;
}

std::string TextOf(const COPYDATASTRUCT& data) { return std::string(static_cast<const char*>(data.lpData), data.cbData); }

bool InstanceRunning() {
  const TKernelHandle lock(OpenMutexW(SYNCHRONIZE, FALSE, LockName().c_str()));
  return bool(lock);
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

// A failed command's message goes back to the sender's window before the
// answer; the sender is waiting for the answer and takes it meanwhile.
TCommandServer::TCommandServer(TComponent* AOwner, THandler handler)
    : TComponent(AOwner), FHandler(std::move(handler)) {
  FWindow = std::make_unique<TMessageWindow>(TMessageWindow::TKind::MessageOnly, WideToUtf8(WindowName()),
                                             [this](TMessage& m) {
                                               if (m.Msg != WM_COPYDATA) return false;
                                               const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(m.LParam);
                                               if (data.dwData != CommandTag) return false;
                                               const std::string failure = Receive(TextOf(data));
                                               DWORD_PTR ignored = 0;
                                               if (!failure.empty())
                                                 Send(HWND(m.WParam), HWND(FWindow->Handle()), FailureTag, failure,
                                                      5000, ignored);
                                               m.Result = failure.empty() ? AnswerDone : AnswerFailed;
                                               return true;
                                             });
}

int SendToRunningProgram(const TCommand& command, std::string& message) {
  HWND server = nullptr;
  for (int waited = 0; !server && InstanceRunning() && waited <= StartingMilliseconds; waited += 100) {
    server = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, WindowName().c_str());
    if (!server) Sleep(100);
  }
  if (!server) {
    message = "Kaleidon is not running.";
    return ecFailed;
  }
  std::string failure;
  const TMessageWindow reply(TMessageWindow::TKind::MessageOnly, "Kaleidon command", [&](TMessage& m) {
    if (m.Msg != WM_COPYDATA) return false;
    const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(m.LParam);
    if (data.dwData != FailureTag) return false;
    failure = TextOf(data);
    m.Result = TRUE;
    return true;
  });
  DWORD_PTR answer = 0;
  if (!Send(server, HWND(reply.Handle()), CommandTag, EncodeCommand(command), AnswerMilliseconds, answer)) {
    message = "Kaleidon did not answer.";
    return ecFailed;
  }
  if (answer == AnswerDone) return ecDone;
  message = failure.empty() ? "Kaleidon did not take the command." : failure;
  return ecFailed;
}
