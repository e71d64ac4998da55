// `sounds`: the effects started and stopped since the last call, in order.
#include "runner/script_runner.h"

namespace rivoltra {

namespace {

const RegisterCommand kSounds("sounds", [](RunnerContext& context, const CommandArguments& args) {
  ExpectArgumentCount(args, 0, 0);
  JsonWriter json;
  json.BeginArray();
  for (const auto& [started, name] : context.SoundLog) {
    json.BeginObject().Field(started ? "play" : "stop", name).EndObject();
  }
  json.EndArray();
  context.SoundLog.clear();
  context.Out << json.Text() << '\n';
});

}  // namespace

}  // namespace rivoltra
