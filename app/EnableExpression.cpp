#include "app/EnableExpression.h"

#include <cctype>
#include <climits>

namespace veyra::app {

namespace {

const char* const kModeNames[] = {
    "BitmapMode", "GrayScaleMode",    "IndexedColorMode",     "RGBMode",      "CMYKMode",   "HSLMode",
    "HSBMode",    "MultichannelMode", "DuotoneMode",          "LabMode",      "Gray16Mode", "RGB48Mode",
    "Lab48Mode",  "CMYK64Mode",       "DeepMultichannelMode", "Duotone16Mode"};
constexpr int kModeCount = 16;

using Token = EnableExpression::Token;

std::vector<Token> tokenize(const std::string& s) {
  std::vector<Token> out;
  size_t i = 0;
  auto fail = [&](const std::string& what) {
    throw EnableExpressionError("at character " + std::to_string(i + 1) + " of \"" + s + "\": " + what);
  };
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    Token t{Token::End, "", 0, i};
    if (std::isalpha(c) || c == '_') {
      size_t j = i;
      while (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_')) ++j;
      t.kind = Token::Identifier;
      t.text = s.substr(i, j - i);
      i = j;
    } else if (std::isdigit(c)) {
      size_t j = i;
      long v = 0;
      while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
        if (v > (LONG_MAX - 9) / 10) fail("number too large");
        v = v * 10 + (s[j] - '0');
        ++j;
      }
      t.kind = Token::Number;
      t.value = v;
      t.text = s.substr(i, j - i);
      i = j;
    } else {
      const std::string two = s.substr(i, 2);
      if (two == "&&")
        t.kind = Token::And;
      else if (two == "||")
        t.kind = Token::Or;
      else if (two == "==")
        t.kind = Token::Equal;
      else if (two == "!=")
        t.kind = Token::NotEqual;
      else if (c == '(')
        t.kind = Token::LParen;
      else if (c == ')')
        t.kind = Token::RParen;
      else if (c == ',')
        t.kind = Token::Comma;
      else if (c == '!')
        t.kind = Token::Not;
      else
        fail(std::string("unexpected character '") + static_cast<char>(c) + "'");
      const bool isTwo =
          t.kind == Token::And || t.kind == Token::Or || t.kind == Token::Equal || t.kind == Token::NotEqual;
      t.text = s.substr(i, isTwo ? 2 : 1);
      i += isTwo ? 2 : 1;
    }
    out.push_back(t);
  }
  out.push_back(Token{Token::End, "", 0, s.size()});
  return out;
}

// Recursive descent over the tokens, evaluating as it goes; the same walk
// checks the syntax when the expression is parsed.
class Evaluator {
 public:
  Evaluator(const std::string& text, const std::vector<Token>& tokens, const EnableContext& context)
      : text_(text), tokens_(tokens), context_(context) {}

  bool run() {
    const bool v = orExpr();
    if (peek().kind != Token::End) fail("end of expression");
    return v;
  }

 private:
  const Token& peek() const { return tokens_[pos_]; }
  const Token& next() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
  bool accept(Token::Kind k) {
    if (peek().kind != k) return false;
    next();
    return true;
  }
  [[noreturn]] void fail(const std::string& expected) const {
    const Token& t = peek();
    const std::string found = t.kind == Token::End ? "the end" : "\"" + t.text + "\"";
    throw EnableExpressionError("at character " + std::to_string(t.position + 1) + " of \"" + text_ +
                                "\": expected " + expected + ", found " + found);
  }
  void expect(Token::Kind k, const char* what) {
    if (!accept(k)) fail(what);
  }

  bool orExpr() {
    bool v = andExpr();
    while (accept(Token::Or)) v = andExpr() || v;
    return v;
  }
  bool andExpr() {
    bool v = unary();
    while (accept(Token::And)) v = unary() && v;
    return v;
  }
  bool unary() {
    if (accept(Token::Not)) return !unary();
    return primary();
  }
  bool primary() {
    if (accept(Token::LParen)) {
      const bool v = orExpr();
      expect(Token::RParen, "\")\"");
      return v;
    }
    if (peek().kind == Token::Identifier && peek().text == "in") {
      next();
      expect(Token::LParen, "\"(\" after \"in\"");
      const long subject = value();
      bool found = false;
      expect(Token::Comma, "\",\" and a list of values");
      do {
        found = (value() == subject) || found;
      } while (accept(Token::Comma));
      expect(Token::RParen, "\")\" or \",\"");
      return found;
    }
    const long left = value();
    if (accept(Token::Equal)) return left == value();
    if (accept(Token::NotEqual)) return left != value();
    return left != 0;
  }
  long value() {
    const Token& t = peek();
    if (t.kind == Token::Number) {
      next();
      return t.value;
    }
    if (t.kind != Token::Identifier || t.text == "in") fail("a value");
    next();
    if (t.text == "PSHOP_ImageMode") return context_.imageMode;
    if (t.text == "PSHOP_ImageDepth") return context_.depth;
    if (t.text == "true") return 1;
    if (t.text == "false") return 0;
    for (int m = 0; m < kModeCount; ++m)
      if (t.text == kModeNames[m]) return m;
    --pos_;
    fail("PSHOP_ImageMode, PSHOP_ImageDepth, a mode name or a number");
  }

  const std::string& text_;
  const std::vector<Token>& tokens_;
  const EnableContext& context_;
  size_t pos_ = 0;
};

}  // namespace

EnableExpression EnableExpression::parse(const std::string& text) {
  EnableExpression e;
  e.text_ = text;
  e.tokens_ = tokenize(text);
  Evaluator(e.text_, e.tokens_, EnableContext{}).run();  // syntax check
  return e;
}

bool EnableExpression::evaluate(const EnableContext& context) const {
  return Evaluator(text_, tokens_, context).run();
}

std::string imageModeName(int mode) { return mode >= 0 && mode < kModeCount ? kModeNames[mode] : ""; }

}  // namespace veyra::app
