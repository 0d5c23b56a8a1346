// Help navigation: showing a help address the way the host would (browser,
// PDF reader at a page, an open document or view, a file of the host's
// virtual file system, the host's task server) and running host processes.
//
// Every host call's status is tested: a failing one raises EHostError and
// abandons the navigation at that point (callers decide what the user sees).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "abi/IServerDocument.h"
#include "abi/Unknown.h"

namespace strativue {

// Runs a host process ("Client:CustomizeResources", ...) through the host's
// process launcher with the parameter text, its size and a value. Nothing
// without a host client; raises when the client has no process launcher.
void RunHostProcess(std::string_view processName, const char* parameters, int32_t parameterSize,
                    int32_t value);

// Shows the help address `target` (the first of these that applies):
//   1. the host's navigation service resolves the target to an address A;
//   2. an http, https or ftp address opens in the external browser when the
//      host prefers it;
//   3. "<file>.pdf#PAGE=<n>" (any case) opens the PDF reader at page n;
//   4. a current browser document shows A (nothing when it already does);
//   5. an open view whose address matches A is brought to the front;
//   6. a file of the host's virtual file system is opened by the service;
//   7. the external browser again, else the host's task server shows A.
void NavigateHelpTarget(std::u16string_view target);

// The page of "...#PAGE=<n>": the position of "#PAGE=" (any case) in
// `address` and the page number, -1 when the text after it is not a decimal
// integer. False when there is no "#PAGE=".
struct PdfPageAddress {
  std::string file;
  int32_t page = -1;
};
bool SplitPdfPageAddress(std::string_view address, PdfPageAddress* result);

// A view's address: the document's file name; with more than one view of
// the document "?ViewName=<view name>"; then the view's parameter text with
// "|" made ";", after ";" (when the view name was added) or "?".
std::string ViewAddress(qvabi::IServerDocument* document, qvabi::IServerView* view);
// The first view of the host's open documents (server modules in order,
// their documents, their views) that matches `address`; nil when none.
qvabi::ComPtr<qvabi::IServerView> FindOpenView(std::string_view address);

// Starts the PDF reader on `fileName` (or on the file of that name in the
// application help folder) at `page`; true when the reader started. Pages
// below 1 open the document at its start.
bool OpenPdfAtPage(const std::string& fileName, int32_t page);
// The registered reader's command line with its file placeholders ("%1" in
// quotes or not) and "/u" taken out; empty when no reader is registered.
std::string GetPdfReaderCommand();
// The reader's major version from its registration, else from the file
// version of the command's executable (4 when that has none).
int32_t GetPdfReaderVersion(const std::string& command);

// Sends one execute command to a DDE server; nothing when the server does
// not answer.
void DdeExecute(const std::string& service, const std::string& topic, const std::string& command);

// Forgets the workspace library looked up for the task server.
void FreeWorkspaceAccess();

}  // namespace strativue
