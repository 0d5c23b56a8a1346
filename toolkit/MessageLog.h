// Every message box shown in this process, for tests and the command-line
// host to read.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Form.h"
#include "toolkit/MessageDialog.h"

namespace toolkit {

struct MessageRecord {
  std::string caption;
  std::string text;
  TMsgDlgType type = TMsgDlgType::Custom;
  TModalResult result = mrNone;
  friend bool operator==(const MessageRecord&, const MessageRecord&) = default;
};

class MessageLog {
 public:
  // Also appends a journal entry of kind "message": "CAPTION: TEXT".
  static void Add(MessageRecord record);
  // Oldest first.
  static std::vector<MessageRecord> Entries();
  static void Clear();
};

}  // namespace toolkit
