# The game's libraries, lowest first, the same in every build (Linux, the browser, Windows); each
# may include and call only the libraries it USES (and what those use in turn).
#
#   base       (nothing)
#   system     (nothing)
#   race/core  base, zlib
#   formats    system, zlib
#   engine     base, system
#   audio      engine, libxmp
#   ui         engine
#   persist    formats, engine, race/core
#   race       race/core, engine, ui
#   platform   audio, engine, persist
#   app        platform, race, ui, audio, persist; the libraries above it see app/app.h alone
#
# The score server links formats. The backends under platform/ implement the platform interface:
# the SDL one (platform/sdl) uses no more than that; the frontends that start the game
# (platform/desktop, platform/web) use app as well.
#
# Needs, besides what cmake/RivoltraLayers.cmake needs: the targets rivoltra_zlib, rivoltra_xmp and
# rivoltra_sdl (the build's zlib, libxmp, SDL2 with SDL2_mixer), and the variables RIVOLTRA_VERSION, RIVOLTRA_SCORE_SERVER and
# RIVOLTRA_WEB_SITE.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/RivoltraLayers.cmake)

# Geometry, the animation step and the random generator, shared by the race rules and the sprite
# engine.
rivoltra_layer(rivoltra_base FOLDERS base)
# What differs between operating systems: file names, file operations, whole save files written
# in one step, the program's arguments and folder.
if(WIN32)
  rivoltra_layer(rivoltra_system FOLDERS system system/windows)
  target_link_libraries(rivoltra_system PUBLIC shell32)
else()
  rivoltra_layer(rivoltra_system FOLDERS system system/posix)
endif()
# The race rules alone: no drawing, sound, input device or game, so recorded races replay through
# them on every system. The race data's fingerprint is a CRC-32.
rivoltra_layer(rivoltra_race_core FOLDERS race/core USES rivoltra_base rivoltra_zlib)
# Recorded races step animations in base: neither is built with fused multiply-adds, so every
# compiler and build type gives the same bits.
target_compile_options(rivoltra_base PRIVATE -ffp-contract=off)
target_compile_options(rivoltra_race_core PRIVATE -ffp-contract=off)
# What the game and the score server share: replay files (their checksum is zlib's CRC-32), score
# messages, race tickets and the daily course.
rivoltra_layer(rivoltra_formats FOLDERS formats USES rivoltra_system rivoltra_zlib)
# Sprites, image archives and lists, the frame timer and the display, input devices and events.
rivoltra_layer(rivoltra_engine FOLDERS engine USES rivoltra_base rivoltra_system)
rivoltra_layer(rivoltra_audio FOLDERS audio USES rivoltra_engine rivoltra_xmp)
rivoltra_layer(rivoltra_ui FOLDERS ui USES rivoltra_engine)
# Settings, high scores, the player's replays, online services.
rivoltra_layer(rivoltra_persist FOLDERS persist
  USES rivoltra_formats rivoltra_engine rivoltra_race_core)
target_compile_definitions(rivoltra_persist PRIVATE
  RIVOLTRA_SCORE_SERVER="${RIVOLTRA_SCORE_SERVER}" RIVOLTRA_WEB_SITE="${RIVOLTRA_WEB_SITE}")
# What joins the rules to the game: actions from the input states, race data from the pictures.
rivoltra_layer(rivoltra_race FOLDERS race USES rivoltra_race_core rivoltra_engine rivoltra_ui)
# What the game asks of the machine; the backends under platform/ implement it.
rivoltra_layer(rivoltra_platform FOLDERS platform
  USES rivoltra_audio rivoltra_engine rivoltra_persist)
# The game as its frontends see it: they include app/app.h only. The runner, the tools and the
# tests reach the game's state through rivoltra_app_internals.
rivoltra_layer(rivoltra_app FOLDERS app app/race_scene
  PUBLIC_HEADERS app/app.h app/game_archives.h
  USES rivoltra_platform rivoltra_race rivoltra_ui rivoltra_audio rivoltra_persist)
target_compile_definitions(rivoltra_app PRIVATE RIVOLTRA_VERSION="${RIVOLTRA_VERSION}")

# The SDL backend (window and presentation, clock, events, keyboard and game controllers, sound),
# shared by the desktop game and the page, whose own frontends (platform/desktop, platform/web) sit
# above app.
rivoltra_layer(rivoltra_platform_sdl FOLDERS platform/sdl USES rivoltra_platform rivoltra_sdl)
# The race ticket's request runs on a thread of its own (the page fetches instead).
find_package(Threads REQUIRED)
target_link_libraries(rivoltra_platform_sdl PRIVATE Threads::Threads)

# The game's own code, for options that hold for all of it (the fuzz build's coverage).
set(RIVOLTRA_GAME_LIBRARIES rivoltra_base rivoltra_system rivoltra_race_core rivoltra_formats
  rivoltra_engine rivoltra_audio rivoltra_ui rivoltra_persist rivoltra_race rivoltra_platform
  rivoltra_app)

# Everything above, for the tools and tests that look inside the game.
add_library(rivoltra_core INTERFACE)
target_link_libraries(rivoltra_core INTERFACE rivoltra_app_internals)
