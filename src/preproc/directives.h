// The directive lines of the source: #DEFINE, #UNDEF, #IFDEF, #IFNDEF, #ELSE,
// #ENDIF and #INCLUDE.
#pragma once

#include <cstdint>
#include <string_view>

#include "diag/diagnostics.h"
#include "preproc/conditional_branch.h"
#include "preproc/define_directive.h"
#include "preproc/preproc_context.h"
#include "source/line_reader.h"
#include "source/source_file.h"

namespace pelc {

/// A directive line as its handler sees it: the file's preprocessor state,
/// the line, and the nodes that stand for the line, which the parse makes.
class DirectiveLine {
 public:
  virtual PreprocContext& file() = 0;
  virtual Diagnostics& diag() = 0;
  virtual const LineInfo& line() const = 0;

  /// A node that writes nothing in place of the line.
  virtual void appendSilentNode() = 0;
  /// The node of a #DEFINE or #UNDEF line, as the table change asks.
  virtual void appendDefinitionNode(DirectiveEffect effect) = 0;
  /// The node of an #IFDEF or #IFNDEF line, or of an #ELSE line.
  virtual ConditionalBranch& appendBranchNode(bool elseBranch) = 0;
  /// The node of an #ENDIF line; `closedState` is the state of its group's last branch.
  virtual void appendEndifNode(BranchState closedState) = 0;
  /// The node of an #INCLUDE line that opened `source` for the name `name`.
  virtual void appendIncludeNode(const SourceFile& source, std::string_view name) = 0;
  /// The node where an included file ends.
  virtual void appendIncludeEndNode(std::int32_t eofPosition) = 0;

 protected:
  ~DirectiveLine() = default;
};

// Handlers of the directive table: directive name and rest of the line.
void defineLine(DirectiveLine& at, std::string_view name, std::string_view rest);
void undefLine(DirectiveLine& at, std::string_view name, std::string_view rest);
void ifdefDirective(DirectiveLine& at, std::string_view name, std::string_view rest);
void elseDirective(DirectiveLine& at, std::string_view name, std::string_view rest);
void endifDirective(DirectiveLine& at, std::string_view name, std::string_view rest);
void includeDirective(DirectiveLine& at, std::string_view name, std::string_view rest);

/// -256 when a conditional group opened in the current source is still open.
void endOfFileCheck(DirectiveLine& at);

/// Closes the included file that just ended and resumes the including one.
void endInclude(DirectiveLine& at);

}  // namespace pelc
