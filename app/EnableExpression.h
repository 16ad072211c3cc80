// The enabling condition of a filter's property list ('enbl'): a small
// expression over the document, such as
//   in (PSHOP_ImageMode, RGBMode, GrayScaleMode, CMYKMode)
// Grammar (usual precedence, left to right):
//   expr    := and { "||" and }
//   and     := unary { "&&" unary }
//   unary   := "!" unary | primary
//   primary := "(" expr ")" | "in" "(" value { "," value } ")" | value [ ("==" | "!=") value ]
//   value   := identifier | integer | "true" | "false"
// Identifiers: PSHOP_ImageMode (the document's mode), PSHOP_ImageDepth (bits
// per channel) and the image mode names (BitmapMode ... Duotone16Mode).
// A value used as a condition is true when it is not zero.
#ifndef VEYRA_APP_ENABLEEXPRESSION_H
#define VEYRA_APP_ENABLEEXPRESSION_H

#include <stdexcept>
#include <string>
#include <vector>

namespace veyra::app {

class EnableExpressionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct EnableContext {
  int imageMode = 0;  // plugInMode... value
  int depth = 8;      // bits per channel
};

class EnableExpression {
 public:
  // Throws EnableExpressionError naming the position and what was expected.
  static EnableExpression parse(const std::string& text);
  bool evaluate(const EnableContext& context) const;
  const std::string& text() const { return text_; }

  struct Token {
    enum Kind { Identifier, Number, LParen, RParen, Comma, And, Or, Not, Equal, NotEqual, End } kind;
    std::string text;
    long value = 0;
    size_t position = 0;
  };

 private:
  std::string text_;
  std::vector<Token> tokens_;
};

// The name of an image mode as expressions use it ("RGBMode"), or "" when unknown.
std::string imageModeName(int mode);

}  // namespace veyra::app

#endif
