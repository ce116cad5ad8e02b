// olbrax-cli msg N: the text of a message number, for support staff looking up the codes users
// read to them.
#include <charconv>

#include "base/messages.h"
#include "cli/cli.h"

namespace olbrax::cli {
namespace {

int RunMsg(Context& ctx) {
  if (ctx.args.size() != 1) return Usage("msg");
  const std::string& a = ctx.args[0];
  int n = 0;
  auto [end, ec] = std::from_chars(a.data(), a.data() + a.size(), n);
  if (ec != std::errc() || end != a.data() + a.size()) {
    Err("olbrax-cli msg: not a number: " + a);
    return 2;
  }
  Out(MsgText(n));
  return 0;
}

Registrar reg({"msg", "N", "print the text of message number N", RunMsg});

}  // namespace
}  // namespace olbrax::cli
