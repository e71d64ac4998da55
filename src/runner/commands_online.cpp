// `server URL` points the online services at a score server for the rest of the run; `browser`
// prints the addresses the game asked the desktop to open since the last call (nothing is
// really opened by the runner).
#include "platform/curl/curl_http_transport.h"
#include "runner/script_runner.h"

namespace rivoltra {

namespace {

const RegisterCommand kServer("server", [](RunnerContext& context, const CommandArguments& args) {
  ExpectArgumentCount(args, 1, 1);
  if (args[0].rfind("http://", 0) != 0 && args[0].rfind("https://", 0) != 0)
    throw ScriptError("server takes an http:// or https:// address");
  context.Game.Online.ServerBase = args[0];
  // The run now talks to a real server, over the desktop game's own transport.
  context.Platform.Http().Connect([](const HttpLimits& limits) -> std::unique_ptr<HttpTransport> {
    return std::make_unique<CurlHttpTransport>(limits.ConnectTimeout, limits.RequestTimeout);
  });
});

const RegisterCommand kBrowser("browser", [](RunnerContext& context, const CommandArguments& args) {
  ExpectArgumentCount(args, 0, 0);
  JsonWriter json;
  json.BeginArray();
  for (const std::string& target : context.Platform.TakeOpenedTargets()) json.Value(target);
  json.EndArray();
  context.Out << json.Text() << '\n';
});

}  // namespace

}  // namespace rivoltra
