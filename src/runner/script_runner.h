#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/game.h"
#include "platform/null/null_platform.h"
#include "runner/json_writer.h"

namespace rivoltra {

// A bad command or argument in a script; the runner reports it with the line number.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a command sees: the game, its headless machine and the runner's own settings.
struct RunnerContext {
  // Input, ticks and the end go through the app, as in every frontend; the game is for reading
  // state and for the runner's own set-up commands.
  rivoltra::App& App;
  rivoltra::Game& Game;
  NullPlatform& Platform;
  std::ostream& Out;
  std::int32_t LagCount = 1;
  bool Quit = false;
  // Effects started (true) and stopped (false) since the last `sounds`.
  std::vector<std::pair<bool, std::string>> SoundLog;
};

using CommandArguments = std::vector<std::string>;
using CommandHandler = std::function<void(RunnerContext&, const CommandArguments&)>;
using StateSection = std::function<void(RunnerContext&, JsonWriter&)>;

// Areas of the game add their own commands and their own fields of `state` here, each from its
// own file, so the runner grows with the game without one file knowing every area.
struct RunnerExtensions {
  std::map<std::string, CommandHandler> Commands;
  std::vector<std::pair<int, StateSection>> StateSections;  // ordered by the int
};
RunnerExtensions& Extensions();
struct RegisterCommand {
  RegisterCommand(const std::string& name, CommandHandler handler);
};
struct RegisterStateSection {
  RegisterStateSection(int order, StateSection section);
};

// Parsing helpers for command handlers; they throw ScriptError with a clear text.
std::int64_t ParseInteger(const std::string& text, std::int64_t minimum, std::int64_t maximum);
void ExpectArgumentCount(const CommandArguments& arguments, std::size_t minimum,
                         std::size_t maximum);

// One frame tick per step at the run's lag, as `tick N` does; stops early when the game has quit
// or stop (when given) says so after a step.
void AdvanceTicks(RunnerContext& context, std::int64_t count,
                  const std::function<bool()>& stop = {});

// Runs the real start-up in the current folder, then the script line by line. Returns the exit
// status: 0 after the last line or `quit`, 1 when start-up fails, 2 on a bad line.
int RunScript(std::istream& script, std::ostream& out, std::ostream& errors);

// The runner as an object, for tests that want to look inside the game between commands.
class ScriptRunner {
 public:
  explicit ScriptRunner(std::ostream& out);
  ~ScriptRunner();
  // Runs start-up; throws what start-up throws.
  void Start();
  // Runs one line; throws ScriptError for a bad line. Returns false once the script has quit.
  bool Execute(const std::string& line);

  rivoltra::Game& Game() { return app_->State(); }
  rivoltra::App& App() { return *app_; }
  NullPlatform& Platform() { return platform_; }
  RunnerContext& Context() { return *context_; }

 private:
  NullPlatform platform_;
  std::unique_ptr<rivoltra::App> app_;
  std::unique_ptr<RunnerContext> context_;
  std::ostream& out_;
};

}  // namespace rivoltra
