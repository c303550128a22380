// A whole-file parse over an in-memory source, with a compact summary of the nodes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ir/node_list.h"
#include "parser/file_context.h"
#include "parser/parser.h"
#include "source/file_system.h"
#include "whole_file_parse.h"

namespace pelc::parse_harness {

/// Joins lines with line feeds, the last one included.
inline std::string source(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += '\n';
  }
  return text;
}

inline std::string optionalText(const std::optional<std::string>& text) {
  return text ? *text : "-";
}

/// The reasons of a rewrite mark, as "comment+macros+brace" or a part of it.
inline std::string describe(RewriteMark mark) {
  std::string text;
  for (const auto& [set, name] : {std::pair{mark.commentRemoved, "comment"},
                                  std::pair{mark.macrosExpanded, "macros"},
                                  std::pair{mark.joinedWithBrace, "brace"}}) {
    if (!set) continue;
    if (!text.empty()) text += '+';
    text += name;
  }
  return text;
}

/// One node as "Kind(fields)": the fields that decide what the emitter writes.
inline std::string describe(const Node& node) {
  std::ostringstream out;
  const NodeRecord* r = node.record;
  switch (node.kind) {
    case NodeKind::Silent:
      out << "Silent";
      break;
    case NodeKind::Goto:
      out << "Goto(" << static_cast<const GotoRecord*>(r)->targetLabel << ")";
      break;
    case NodeKind::Statement:
      out << "Stmt(" << describe(static_cast<const StatementRecord*>(r)->rewriteMark) << ")";
      break;
    case NodeKind::Exit:
      out << "Exit(" << describe(static_cast<const ExitRecord*>(r)->rewriteMark) << ")";
      break;
    case NodeKind::Do: {
      const auto& d = *static_cast<const DoRecord*>(r);
      out << "Do(" << d.topLabel << "," << d.continueLabel << "," << d.exitLabel << ")";
      break;
    }
    case NodeKind::DoEnd:
      out << "DoEnd" << static_cast<const DoEndRecord*>(r)->condition;
      break;
    case NodeKind::For: {
      const auto& f = *static_cast<const ForRecord*>(r);
      out << "For[" << optionalText(f.init) << "|" << optionalText(f.condition) << "|"
          << optionalText(f.step) << "](" << f.testLabel << "," << f.continueLabel << ","
          << f.topLabel << "," << f.exitLabel << ")";
      break;
    }
    case NodeKind::ForEnd:
      out << "ForEnd";
      break;
    case NodeKind::If: {
      const auto& i = *static_cast<const IfRecord*>(r);
      out << "If" << static_cast<int>(i.form) << i.condition << "(" << i.elseLabel << ","
          << i.endLabel << ")";
      break;
    }
    case NodeKind::Else: {
      const auto& e = *static_cast<const ElseRecord*>(r);
      out << "Else(" << e.ownLabel << "," << e.ifElseLabel << ")";
      break;
    }
    case NodeKind::IfEnd:
      out << "IfEnd(" << static_cast<const IfEndRecord*>(r)->endLabel << ")";
      break;
    case NodeKind::Switch:
      out << "Switch" << static_cast<const SwitchRecord*>(r)->expression;
      break;
    case NodeKind::Case: {
      const auto& c = *static_cast<const CaseRecord*>(r);
      out << "Case[" << c.low << (c.high ? ":" + *c.high : "") << "](" << c.fallThroughLabel << ","
          << c.previousNextLabel << "," << c.nextLabel << ")";
      break;
    }
    case NodeKind::Default:
      out << "Default(" << static_cast<const DefaultRecord*>(r)->nextLabel << ")";
      break;
    case NodeKind::SwitchBreak:
      out << "Break(" << static_cast<const SwitchBreakRecord*>(r)->breakLabel << ")";
      break;
    case NodeKind::SwitchEnd: {
      const auto& e = *static_cast<const SwitchEndRecord*>(r);
      out << "SwitchEnd(" << e.nextLabel << "," << e.breakLabel << ")";
      break;
    }
    case NodeKind::While: {
      const auto& w = *static_cast<const WhileRecord*>(r);
      out << "While" << w.condition << "(" << w.testLabel << "," << w.topLabel << "," << w.exitLabel
          << ")";
      break;
    }
    case NodeKind::WhileEnd:
      out << "WhileEnd";
      break;
    default:
      out << "Directive";
      break;
  }
  return out.str();
}

/// Parses one source file the way the file driver does and keeps everything for inspection.
class ParsedFile : public test::WholeFileParse {
 public:
  static constexpr const char* kPath = "demo.pmp";

  explicit ParsedFile(std::string text) { parse(kPath, std::move(text)); }

  /// Every node described, separated by blanks.
  std::string kinds() const {
    std::string text;
    for (const Node& node : nodes()) {
      if (!text.empty()) text += ' ';
      text += describe(node);
    }
    return text;
  }

  /// The message numbers printed, in order, without their signs.
  std::vector<int> messages() const { return messageNumbers(); }

  /// The offset just after the n-th (from 0) occurrence of `text` in the source.
  std::int32_t after(std::string_view text, int nth = 0) const {
    return at(text, nth) + static_cast<std::int32_t>(text.size());
  }
  std::int32_t at(std::string_view text, int nth = 0) const {
    std::size_t found = bytes().find(text);
    for (int i = 0; i < nth; ++i) found = bytes().find(text, found + 1);
    return static_cast<std::int32_t>(found);
  }
};

}  // namespace pelc::parse_harness
