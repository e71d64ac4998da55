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
  Extensions().commands[name] = std::move(handler);
}

RegisterStateSection::RegisterStateSection(int order, StateSection section) {
  auto& sections = Extensions().stateSections;
  sections.emplace_back(order, std::move(section));
  std::stable_sort(sections.begin(), sections.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

void AdvanceTicks(RunnerContext& context, std::int64_t count, const std::function<bool()>& stop) {
  for (std::int64_t i = 0; i < count && !context.app.Finished(); ++i) {
    const auto elapsed = static_cast<std::uint32_t>(context.lagCount) * kFrameInterval;
    context.platform.AdvanceClock(elapsed);
    // The music plays on at the pace of the fake clock, so its order position is real.
    context.platform.SilentAudio().AdvanceClock(elapsed);
    context.app.RunDueTicks(context.platform.Milliseconds());
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
  const char* name;
  int virtualKey;
};

constexpr NamedKey kKeys[] = {
    {"Up", VirtualKey::Up},         {"Down", VirtualKey::Down},     {"Left", VirtualKey::Left},
    {"Right", VirtualKey::Right},   {"KP8", VirtualKey::Numpad8},   {"Z", VirtualKey::Letter('Z')},
    {"X", VirtualKey::Letter('X')}, {"C", VirtualKey::Letter('C')}, {"P", VirtualKey::Letter('P')},
    {"Escape", VirtualKey::Escape}, {"Y", VirtualKey::Letter('Y')}, {"N", VirtualKey::Letter('N')},
    {"Space", VirtualKey::Space},   {"Ctrl", VirtualKey::Control},  {"Alt", VirtualKey::Menu},
    {"Enter", VirtualKey::Enter},
};

int VirtualKeyNamed(const std::string& name) {
  for (const NamedKey& key : kKeys) {
    if (name == key.name) return key.virtualKey;
  }
  // Any other key by the name the controls screen gives it ("W", "F5", "KEYPAD 4" as KEYPAD_4).
  std::string spaced = name;
  std::replace(spaced.begin(), spaced.end(), '_', ' ');
  if (const std::optional<std::uint8_t> key = KeyByName(spaced)) return *key;
  throw ScriptError("unknown key '" + name + "'");
}

ShiftState HeldShift(const RunnerContext& context) {
  const HeldKeys& keys = context.platform.Keys();
  return ShiftState{keys.IsKeyDown(VirtualKey::Shift), keys.IsKeyDown(VirtualKey::Menu),
                    keys.IsKeyDown(VirtualKey::Control)};
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
  context.platform.Keys().SetKeyDown(virtualKey, down);
  const auto kind = down ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
  context.app.HandleEvent(InputEvent::Key(kind, virtualKey, HeldShift(context)));
}

void CommandFocus(RunnerContext& context, const CommandArguments& arguments) {
  ExpectArgumentCount(arguments, 1, 1);
  if (arguments[0] != "on" && arguments[0] != "off") throw ScriptError("focus takes on or off");
  const bool active = arguments[0] == "on";
  context.platform.SetApplicationActive(active);
  context.app.HandleEvent(
      InputEvent::Of(active ? InputEvent::Kind::FocusGained : InputEvent::Kind::FocusLost));
}

void CommandState(RunnerContext& context, const CommandArguments& arguments) {
  ExpectArgumentCount(arguments, 0, 0);
  JsonWriter json;
  json.BeginObject();
  for (const auto& [order, section] : Extensions().stateSections) section(context, json);
  json.EndObject();
  context.out << json.Text() << '\n';
}

const std::map<std::string, CommandHandler>& CoreCommands() {
  static const std::map<std::string, CommandHandler> commands = {
      {"seed",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 1, 1);
         RandomInPlay(c.game).Seed(static_cast<std::uint32_t>(ParseInteger(a[0], 0, UINT32_MAX)));
       }},
      {"tick", CommandTick},
      {"lag",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 1, 1);
         c.lagCount = static_cast<std::int32_t>(ParseInteger(a[0], 1, 1000));
       }},
      {"down", [](RunnerContext& c, const CommandArguments& a) { CommandKey(c, a, true); }},
      {"up", [](RunnerContext& c, const CommandArguments& a) { CommandKey(c, a, false); }},
      {"type",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 1, 1);
         for (const char key : UnescapeTypedText(a[0])) c.app.HandleEvent(InputEvent::Typed(key));
       }},
      {"mouse",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 2, 2);
         c.app.HandleEvent(InputEvent::Mouse(static_cast<int>(ParseInteger(a[0], -10000, 10000)),
                                             static_cast<int>(ParseInteger(a[1], -10000, 10000))));
       }},
      {"click",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 0, 0);
         c.app.HandleEvent(InputEvent::Of(InputEvent::Kind::Click));
       }},
      {"focus", CommandFocus},
      {"shot",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 1, 1);
         try {
           SaveSurfaceAsPng(c.game.Screen.BackBuffer(), a[0]);
         } catch (const std::runtime_error& error) {
           throw ScriptError(error.what());
         }
       }},
      {"state", CommandState},
      {"quit",
       [](RunnerContext& c, const CommandArguments& a) {
         ExpectArgumentCount(a, 0, 0);
         c.app.Shutdown();
         c.quit = true;
       }},
  };
  return commands;
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
  app_ = std::make_unique<App>(platform_);
  context_ = std::make_unique<RunnerContext>(
      RunnerContext{*app_, app_->State(), platform_, out_, 1, false, {}});
  app_->State().soundObserver = [this](bool started, std::string_view name) {
    context_->soundLog.emplace_back(started, std::string(name));
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
  if (command.empty()) return !context_->quit;
  const auto& core = CoreCommands();
  if (const auto found = core.find(command); found != core.end()) {
    found->second(*context_, arguments);
  } else if (const auto extension = Extensions().commands.find(command);
             extension != Extensions().commands.end()) {
    extension->second(*context_, arguments);
  } else {
    throw ScriptError("unknown command '" + command + "'");
  }
  return !context_->quit;
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
