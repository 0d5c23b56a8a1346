// The system's standard (common) dialogs; a file dialog to open or save a
// file. The dialog is a window of the system owned by a parent window; it
// runs its own modal loop over the thread's message queue, where the
// simulated user answers it (automation::ChooseFile) or closes it
// (automation::PressCloseButton). A loop that runs out of input closes the
// dialog as its close button would.
#pragma once

#include <string>

#include "platform/Windows.h"
#include "toolkit/Component.h"

namespace toolkit {

// What a file dialog's window is called and how large it is.
inline constexpr const char* kFileDialogClass = "#32770";
inline constexpr int kFileDialogWidth = 560;
inline constexpr int kFileDialogHeight = 420;

class TCommonDialog : public TComponent {
 public:
  explicit TCommonDialog(TComponent* owner);
  ~TCommonDialog() override;
  TOOLKIT_DECLARE_CLASS()

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // Runs the dialog. Its parent is the window of the form that receives
  // input, else the application window if it exists, else none; the commonDialog hooks may replace
  // it (Executing), see the dialog's window once the dialog is initialised
  // (Initialized) and, once that window is gone, the end (Closed). True
  // when the user chose.
  bool Execute();
  // The dialog's window while it runs, else 0.
  platform::HWND Handle() const { return handle_; }
  // The innermost dialog running on this thread, nil when none.
  static TCommonDialog* Running();

  // The simulated user's answers to the running dialog. Choose is false,
  // and the dialog stays, when the dialog refuses the answer.
  bool Choose(const std::string& answer);
  void Cancel();

 protected:
  // Takes the user's answer; false refuses it and the dialog stays.
  virtual bool Accept(const std::string& answer) = 0;

 private:
  std::string title_;
  platform::HWND handle_ = 0;
  enum class State { Running, Chosen, Cancelled } state_ = State::Running;
};

enum class TFileDialogKind { Open, Save };

class TOpenDialog : public TCommonDialog {
 public:
  explicit TOpenDialog(TComponent* owner, TFileDialogKind kind = TFileDialogKind::Open);
  TOOLKIT_DECLARE_CLASS()

  TFileDialogKind Kind() const { return kind_; }
  // The chosen file (Windows path); also the name the dialog starts with.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(std::string folder) { initialDir_ = std::move(folder); }
  // "Boards|*.board.json|All files|*.*"
  const std::string& Filter() const { return filter_; }
  void SetFilter(std::string filter) { filter_ = std::move(filter); }
  // Added to a chosen name without extension (without its dot).
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(std::string extension) { defaultExt_ = std::move(extension); }

 protected:
  // A name without folder is taken in the initial folder. An open dialog
  // accepts only a file that exists; a save dialog one whose folder exists.
  bool Accept(const std::string& answer) override;

 private:
  TFileDialogKind kind_;
  std::string fileName_;
  std::string initialDir_;
  std::string filter_;
  std::string defaultExt_;
};

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner, TFileDialogKind::Save) {}
  TOOLKIT_DECLARE_CLASS()
};

}  // namespace toolkit
