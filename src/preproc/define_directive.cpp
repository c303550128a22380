// The #DEFINE and #UNDEF directive handlers and the preparation of -D definitions.
#include "preproc/define_directive.h"

#include <utility>

#include "base/char_class.h"

namespace pelc {

namespace {

// Trimming both ends drops the line's own newline, which `rest` still carries.
std::string_view trimBlanks(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && isBlank(text[begin])) ++begin;
  std::size_t end = text.size();
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

DirectiveEffect silentEffect(bool fromSource) {
  return fromSource ? DirectiveEffect::SilentNode : DirectiveEffect::NoNode;
}

void addMacro(MacroTable& table, Diagnostics& diag, int line, std::size_t index, MacroEntry entry) {
  if (table.size() + 1 > MacroTable::MAX_MACROS) diag.throwMessage(Msg::TooManyMacros, line);
  table.insertAt(index, std::move(entry));
}

}  // namespace

DirectiveEffect defineDirective(MacroTable& table, Diagnostics& diag, int line,
                                std::string_view directiveName, std::string_view rest,
                                bool fromSource) {
  std::string name;
  const auto stop = scanWord(rest, name);
  if (!stop) {
    diag.reportMessage(Msg::MissingArgument, line, {{"directive", std::string(directiveName)}});
    return silentEffect(fromSource);
  }
  if (isMacroName(name) != name.size()) {
    diag.reportMessage(Msg::BadMacroName, line, {{"directive", std::string(directiveName)}});
    return silentEffect(fromSource);
  }
  const std::string_view value = trimBlanks(rest.substr(*stop));
  std::size_t index = 0;
  const int found = table.findMacro(name, index);
  if (found != 0) {
    addMacro(table, diag, line, found > 0 ? index + 1 : index,
             MacroEntry{std::move(name), std::string(value)});
  } else if (table.at(index).value == value) {
    return silentEffect(fromSource);
  } else {
    if (fromSource) diag.reportMessage(Msg::MacroRedefined, line, {{"macro", name}});
    table.replaceValue(index, std::string(value));
  }
  return fromSource ? DirectiveEffect::DefineNode : DirectiveEffect::NoNode;
}

DirectiveEffect undefDirective(MacroTable& table, Diagnostics& diag, int line,
                               std::string_view directiveName, std::string_view rest,
                               bool fromSource) {
  std::string name;
  if (!scanWord(rest, name)) {
    diag.reportMessage(Msg::MissingArgument, line, {{"directive", std::string(directiveName)}});
    return silentEffect(fromSource);
  }
  const auto index = table.findIgnoringCase(name);
  if (!index) return silentEffect(fromSource);
  table.eraseAt(*index);
  return fromSource ? DirectiveEffect::UndefNode : DirectiveEffect::NoNode;
}

void prepareCommandLineDefinition(std::string& text) {
  const std::size_t stop = isMacroName(text);
  if (stop < text.size() && text[stop] == '=') text[stop] = ' ';
}

void enterCommandLineDefinitions(MacroTable& table, Diagnostics& diag, int line,
                                 std::span<const std::string> texts) {
  for (const std::string& text : texts) defineDirective(table, diag, line, "-D", text, false);
}

}  // namespace pelc
