// What the command tells the user when the active window is not a usable
// PCB document, in an ordinary run and in test mode.
#include <gtest/gtest.h>

#include <string>

#include "QuorvexE2eTest.h"

namespace e2e {
namespace {

constexpr const char* kNotPcb = "Active window is not of type PCB document.";
constexpr const char* kNoBoard = "No current PCB document is open in the Quorvex.";

class DocumentsE2eTest : public QuorvexE2eTest {};

TEST_F(DocumentsE2eTest, ASchematicOrNoViewAtAllGetsTheFirstMessage) {
  const std::string expected = std::string("module: Strativue\nmessage Information: ") + kNotPcb + "\n";
  const auto schematic = Run({Example("two-layer"), "--active", "SCH", "--out", File("out.json")});
  EXPECT_EQ(schematic.exitCode, 0) << schematic.err;
  EXPECT_EQ(schematic.out, expected);
  // The board was not touched.
  EXPECT_EQ(ReadText(File("out.json")), ReadText(Example("two-layer")));

  const auto noView = Run({});
  EXPECT_EQ(noView.exitCode, 0) << noView.err;
  EXPECT_EQ(noView.out, expected);
}

TEST_F(DocumentsE2eTest, APcbDocumentWithoutBoardGetsTheSecondMessage) {
  const auto result = Run({"--active", "PCB"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, std::string("module: Strativue\nmessage Information: ") + kNoBoard + "\n");
}

TEST_F(DocumentsE2eTest, TestModeWritesEachMessageAsOneLineAndEndsWithStatusOne) {
  struct Case {
    Arguments arguments;
    const char* message;
  };
  for (const Case& c : {Case{{Example("two-layer"), "--active", "SCH"}, kNotPcb}, Case{{}, kNotPcb},
                        Case{{"--active", "PCB"}, kNoBoard}}) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const auto result = Run(Concat(c.arguments, {"--test-mode"}));
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out,
              std::string("module: Strativue\nShowDialogWithCaption withInformation ") + c.message + "\n");
  }
}

TEST_F(DocumentsE2eTest, ABoardThatRefusesCommandsIsLeftAloneSilently) {
  std::string board = ReadText(Example("two-layer"));
  board.replace(board.find("\"refusesCommands\": false"), 24, "\"refusesCommands\": true");
  WriteFile("refusing.board.json", board);
  const auto result = Run({File("refusing.board.json"), "--trace", "--out", File("out.json")});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "module: Strativue\nstate GenerateCrossSection: disabled\n");
  EXPECT_EQ(ReadText(File("out.json")), board);
}

}  // namespace
}  // namespace e2e
