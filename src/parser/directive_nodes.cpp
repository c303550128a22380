// The nodes that directive lines leave in the parse.
#include "parser/parser.h"

namespace pelc {

void Parser::appendDefinitionNode(DirectiveEffect effect) {
  switch (effect) {
    case DirectiveEffect::NoNode:
      return;
    case DirectiveEffect::SilentNode:
      appendSilentNode();
      return;
    case DirectiveEffect::DefineNode:
      appendLineNode<DirectiveRecord>(NodeKind::Define);
      return;
    case DirectiveEffect::UndefNode:
      appendLineNode<DirectiveRecord>(NodeKind::Undef);
      return;
  }
}

ConditionalBranch& Parser::appendBranchNode(bool elseBranch) {
  return appendLineNode<BranchRecord>(elseBranch ? NodeKind::IfdefElse : NodeKind::Ifdef);
}

void Parser::appendEndifNode(BranchState closedState) {
  appendLineNode<EndifRecord>(NodeKind::IfdefEnd).closedState = closedState;
}

void Parser::appendIncludeNode(const SourceFile& source, std::string_view name) {
  auto& record = appendLineNode<IncludeRecord>(NodeKind::Include);
  record.foundPath = source.path;
  // Appended rather than added to a literal, which GCC 12 misreads as an overlapping copy.
  record.displayText.assign(1, '<').append(name).push_back('>');
  record.source = &source;
}

void Parser::appendIncludeEndNode(std::int32_t eofPosition) {
  file_.nodes.appendNode<IncludeEndRecord>(NodeKind::IncludeEnd).eofPosition = eofPosition;
}

}  // namespace pelc
