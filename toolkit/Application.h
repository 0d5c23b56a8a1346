// The application object: its window, message dispatch, idle processing,
// hints and the handling of errors that escape event handlers.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/MessageQueue.h"
#include "platform/Windows.h"
#include "toolkit/Hooks.h"

namespace toolkit {

class TComponent;
class TControl;
class TForm;
class THintWindow;

inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYFIRST = 0x0100;
inline constexpr uint32_t WM_KEYLAST = 0x0109;

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The application window: the owner of every form's window. A plug-in sets
  // it to its host's window; 0 until then.
  platform::HWND Handle() const { return handle_; }
  void SetHandle(platform::HWND window) { handle_ = window; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // Removes one message from the calling thread's queue and dispatches it;
  // false when the queue was empty.
  bool ProcessMessage();
  // Until the queue is empty.
  void ProcessMessages();
  // Dispatches the queued messages that are not user input (keys and
  // scripted actions stay queued for the modal loop that waits for them).
  void ProcessWindowMessages();
  void DispatchMessage(const platform::Message& message);

  // One idle step: hint upkeep, OnIdle, action updates. It never blocks: it
  // returns at once when input is queued, and where a real loop would wait
  // for a message it only counts that wait (IdleWaitCount).
  void Idle();
  // The handler may set done to false to ask for more idle steps.
  std::function<void(TComponent* sender, bool& done)> OnIdle;
  // Action-state updates run in every idle step.
  int AddActionUpdate(std::function<void()> update);
  bool RemoveActionUpdate(int id);
  int IdleWaitCount() const { return idleWaits_; }

  // Errors that escape an event handler. Without OnException the error's
  // message is shown in an error message box captioned with the title.
  std::function<void(TComponent* sender, std::exception_ptr error)> OnException;
  void HandleException(TComponent* sender, std::exception_ptr error);
  // Runs `action`; an exception it raises passes the exceptionCaught hooks,
  // HandleException and the exceptionHandled hooks, and is not rethrown.
  template <class F>
  void Guard(TComponent* sender, F&& action) {
    try {
      action();
    } catch (...) {
      const std::exception_ptr error = std::current_exception();
      Hooks::Get().NotifyExceptionCaught(error);
      HandleException(sender, error);
      Hooks::Get().NotifyExceptionHandled();
    }
  }

  // Hints. The hint window class decides how tooltips are drawn.
  using HintWindowFactory = std::function<std::unique_ptr<THintWindow>()>;
  void SetHintWindowClass(HintWindowFactory factory);
  template <class T>
  void SetHintWindowClass() {
    SetHintWindowClass([] { return std::make_unique<T>(nullptr); });
  }
  // Back to the toolkit's own THintWindow. A module that set a class of its
  // own calls this before it is unloaded: the factory it set is its code.
  void ResetHintWindowClass();
  // Shows the control's hint when it has one and ShowHint is on; OnShowHint
  // may change the text or refuse. The hintShowing hooks run first, whether
  // or not a hint is then shown; their errors go to HandleException.
  void ActivateHint(TControl& control);
  void CancelHint();
  THintWindow* HintWindow() const { return hintWindow_.get(); }
  TControl* HintControl() const { return hintControl_; }
  std::function<void(std::string& hint, bool& canShow, TControl& control)> OnShowHint;

  // A control is going away: forget it wherever the application holds it.
  void ControlDestroyed(TControl* control);

  // Modal forms, innermost last.
  void EnterModal(TForm* form);
  void LeaveModal(TForm* form);
  // The form that receives input: the innermost modal form, else the form of
  // the active window, else nil.
  TForm* InputForm() const;

 private:
  platform::HWND handle_ = 0;
  std::string title_ = "Quorvex";
  int idleWaits_ = 0;
  int lastUpdateId_ = 0;
  std::vector<std::pair<int, std::function<void()>>> actionUpdates_;
  HintWindowFactory hintFactory_;
  std::unique_ptr<THintWindow> hintWindow_;
  TControl* hintControl_ = nullptr;
  std::vector<TForm*> modalForms_;
};

// The process's application object.
TApplication& Application();

}  // namespace toolkit
