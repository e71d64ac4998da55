#include "runner/script_runner.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <ostream>
#include <sstream>

#include "app/input_events.h"
#include "engine/control_bindings.h"
#include "engine/keyboard_codes.h"
#include "runner/png_shot.h"

namespace rivoltra {

RunnerExtensions& Extensions() {
  static RunnerExtensions extensions;
  return extensions;
}

RegisterCommand::RegisterCommand(const std::string& name, CommandHandler handler) {
  Extensions().Commands[name] = std::move(handler);
}

RegisterStateSection::RegisterStateSection(int order, StateSection section) {
  auto& sections = Extensions().StateSections;
  sections.emplace_back(order, std::move(section));
  std::stable_sort(sections.begin(), sections.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

void AdvanceTicks(RunnerContext& context, std::int64_t count, const std::function<bool()>& stop) {
  for (std::int64_t i = 0; i < count && !context.App.Finished(); ++i) {
    const auto elapsed = static_cast<std::uint32_t>(context.LagCount) * kFrameInterval;
    context.Platform.AdvanceClock(elapsed);
    // The music plays on at the pace of the fake clock, so its order position is real.
    context.Platform.SilentAudio().AdvanceClock(elapsed);
    context.App.RunDueTicks(context.Platform.Milliseconds());
    if (stop && stop()) return;
  }
}

std::int64_t ParseInteger(const std::string& text, std::int64_t minimum, std::int64_t maximum) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    throw ScriptError("'" + text + "' is not a whole number");
  if (value < minimum || value > maximum) {
    throw ScriptError("'" + text + "' is out of range " + std::to_string(minimum) + ".." +
                      std::to_string(maximum));
  }
  return value;
}

void ExpectArgumentCount(const CommandArguments& arguments, std::size_t minimum,
                         std::size_t maximum) {
  if (arguments.size() < minimum || arguments.size() > maximum)
    throw ScriptError("wrong number of arguments");
}

namespace {

struct NamedKey {
  const char* Name;
  int VirtualKey;
};

constexpr NamedKey kKeys[] = {
    {"Up", virtual_key::kUp},        {"Down", virtual_key::kDown},
    {"Left", virtual_key::kLeft},    {"Right", virtual_key::kRight},
    {"KP8", virtual_key::kNumpad8},  {"Z", virtual_key::Letter('Z')},
    {"X", virtual_key::Letter('X')}, {"C", virtual_key::Letter('C')},
    {"P", virtual_key::Letter('P')}, {"Escape", virtual_key::kEscape},
    {"Y", virtual_key::Letter('Y')}, {"N", virtual_key::Letter('N')},
    {"Space", virtual_key::kSpace},  {"Ctrl", virtual_key::kControl},
    {"Alt", virtual_key::kMenu},     {"Enter", virtual_key::kEnter},
};

int VirtualKeyNamed(const std::string& name) {
  for (const NamedKey& key : kKeys) {
    if (name == key.Name) return key.VirtualKey;
  }
  // Any other key by the name the controls screen gives it ("W", "F5", "KEYPAD 4" as KEYPAD_4).
  std::string spaced = name;
  std::replace(spaced.begin(), spaced.end(), '_', ' ');
  if (const std::optional<std::uint8_t> key = KeyByName(spaced)) return *key;
  throw ScriptError("unknown key '" + name + "'");
}

ShiftState HeldShift(const RunnerContext& context) {
  const HeldKeys& keys = context.Platform.Keys();
  return ShiftState{keys.IsKeyDown(virtual_key::kShift), keys.IsKeyDown(virtual_key::kMenu),
                    keys.IsKeyDown(virtual_key::kControl)};
}

std::string UnescapeTypedText(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      result += text[i];
      continue;
    }
    switch (text[++i]) {
      case 'r':
        result += '\r';
        break;
      case 'e':
        result += '\x1B';
        break;
      case 'b':
        result += '\b';
        break;
      case 's':
        result += ' ';
        break;
      case '\\':
        result += '\\';
        break;
      default:
        throw ScriptError(std::string("unknown escape '\\") + text[i] + "'");
    }
  }
  return result;
}

void CommandTick(RunnerContext& context, const CommandArguments& arguments) {
  ExpectArgumentCount(arguments, 0, 1);
  AdvanceTicks(context, arguments.empty() ? 1 : ParseInteger(arguments[0], 0, 10'000'000));
}

void CommandKey(RunnerContext& context, const CommandArguments& arguments, bool down) {
  ExpectArgumentCount(arguments, 1, 1);
  const int virtualKey = VirtualKeyNamed(arguments[0]);
  context.Platform.Keys().SetKeyDown(virtualKey, down);
  const auto kind = down ? InputKind::KeyDown : InputKind::KeyUp;
  context.App.HandleEvent(InputEvent::Key(kind, virtualKey, HeldShift(context)));
}

void CommandFocus(RunnerContext& context, const CommandArguments& arguments) {
  ExpectArgumentCount(arguments, 1, 1);
  if (arguments[0] != "on" && arguments[0] != "off") throw ScriptError("focus takes on or off");
  const bool active = arguments[0] == "on";
  context.Platform.SetApplicationActive(active);
  context.App.HandleEvent(InputEvent::Of(active ? InputKind::FocusGained : InputKind::FocusLost));
}

void CommandState(RunnerContext& context, const CommandArguments& arguments) {
  ExpectArgumentCount(arguments, 0, 0);
  JsonWriter json;
  json.BeginObject();
  for (const auto& [order, section] : Extensions().StateSections) section(context, json);
  json.EndObject();
  context.Out << json.Text() << '\n';
}

const std::map<std::string, CommandHandler>& CoreCommands() {
  static const std::map<std::string, CommandHandler> kCommands = {
      {"seed",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 1, 1);
         RandomInPlay(c.Game).Seed(static_cast<std::uint32_t>(ParseInteger(a[0], 0, UINT32_MAX)));
       }},
      {"tick", CommandTick},
      {"lag",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 1, 1);
         c.LagCount = static_cast<std::int32_t>(ParseInteger(a[0], 1, 1000));
       }},
      {"down", [](RunnerContext& c, const CommandArguments& a) { CommandKey(c, a, true); }},
      {"up", [](RunnerContext& c, const CommandArguments& a) { CommandKey(c, a, false); }},
      {"type",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 1, 1);
         for (const char key : UnescapeTypedText(a[0])) c.App.HandleEvent(InputEvent::Typed(key));
       }},
      {"mouse",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 2, 2);
         c.App.HandleEvent(InputEvent::Mouse(static_cast<int>(ParseInteger(a[0], -10000, 10000)),
                                             static_cast<int>(ParseInteger(a[1], -10000, 10000))));
       }},
      {"click",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 0, 0);
         c.App.HandleEvent(InputEvent::Of(InputKind::Click));
       }},
      {"focus", CommandFocus},
      {"shot",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 1, 1);
         try {
           SaveSurfaceAsPng(c.Game.Screen.BackBuffer(), a[0]);
         } catch (const std::runtime_error& error) {
           throw ScriptError(error.what());
         }
       }},
      {"state", CommandState},
      {"quit",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 0, 0);
         c.App.Shutdown();
         c.Quit = true;
       }},
  };
  return kCommands;
}

// Splits a line into the command and its arguments; `type` keeps the rest of the line whole so
// its text may hold anything (spaces are written \s).
CommandArguments SplitLine(const std::string& line, std::string& command) {
  std::istringstream words(line);
  words >> command;
  CommandArguments arguments;
  std::string word;
  while (words >> word) arguments.push_back(word);
  return arguments;
}

}  // namespace

ScriptRunner::ScriptRunner(std::ostream& out) : out_(out) {}
ScriptRunner::~ScriptRunner() = default;

void ScriptRunner::Start() {
  app_ = std::make_unique<rivoltra::App>(platform_);
  context_ = std::make_unique<RunnerContext>(
      RunnerContext{*app_, app_->State(), platform_, out_, 1, false, {}});
  app_->State().SoundObserver = [this](bool started, std::string_view name) {
    context_->SoundLog.emplace_back(started, std::string(name));
  };
  platform_.OnMessage = [this](const std::string& text) {
    out_ << JsonWriter().BeginObject().Field("message", text).EndObject().Text() << '\n';
  };
  app_->Start();
}

bool ScriptRunner::Execute(const std::string& rawLine) {
  const std::string line = rawLine.substr(0, rawLine.find('#'));
  std::string command;
  const CommandArguments arguments = SplitLine(line, command);
  if (command.empty()) return !context_->Quit;
  const auto& core = CoreCommands();
  if (const auto found = core.find(command); found != core.end()) {
    found->second(*context_, arguments);
  } else if (const auto extension = Extensions().Commands.find(command);
             extension != Extensions().Commands.end()) {
    extension->second(*context_, arguments);
  } else {
    throw ScriptError("unknown command '" + command + "'");
  }
  return !context_->Quit;
}

int RunScript(std::istream& script, std::ostream& out, std::ostream& errors) {
  ScriptRunner runner(out);
  try {
    runner.Start();
  } catch (const std::exception& error) {
    errors << "Rivoltra: " << error.what() << '\n';
    return 1;
  }
  std::string line;
  for (int lineNumber = 1; std::getline(script, line); ++lineNumber) {
    try {
      if (!runner.Execute(line)) break;
    } catch (const ScriptError& error) {
      errors << "rivoltra-script: line " << lineNumber << ": " << error.what() << '\n';
      return 2;
    }
  }
  out.flush();
  return 0;
}

}  // namespace rivoltra
