// The resource script's preprocessor (includes, object-like macros, conditionals) and the
// evaluator of its integer expressions, which the parser uses as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/rc_lexer.h"
#include "tools/rcparse.h"

namespace rc::detail {

// Gives a name's value; it throws for a name it does not know.
using Resolver = std::function<std::int64_t(const Token&)>;

// Evaluates the expression that starts at toks[pos] (C's operators and precedence, 32-bit
// arithmetic), whose binary operators bind at least as tightly as minLevel (see
// OperatorLevel), and moves pos past it. where names the place of an empty expression.
std::int64_t Evaluate(const std::vector<Token>& toks, std::size_t& pos, Resolver resolve, const Token& where,
                      int minLevel = 1);

// How tightly a binary operator binds, from 1 (||) to 10 (* / %); 0 for any other token.
int OperatorLevel(const Token& t);

// The tokens of the script at path with its quoted includes read, its macros expanded and
// the branches its conditionals leave out dropped. Throws ParseError.
std::vector<Token> Preprocess(const std::string& path, const FileReader& read);

} // namespace rc::detail
