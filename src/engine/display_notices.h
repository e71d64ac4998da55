#pragma once

#include "engine/surface.h"

namespace rivoltra {

// What a display tells the objects that draw on it (image lists, the sprite engine). The
// display sends the notices in its own order; a subscriber must not subscribe or unsubscribe
// anyone from inside a notice.
class DisplaySubscriber {
 public:
  virtual ~DisplaySubscriber() = default;

  // The display's surfaces exist; backBuffer stays valid until DisplayFinalized. Anything
  // converted into display format is built here, once per initialisation: the surfaces live in
  // the program's own memory and are never lost while the display stands.
  virtual void DisplayInitialized(Surface& backBuffer) = 0;
  // The surfaces are about to go; drop every reference into them.
  virtual void DisplayFinalized() = 0;
  // The display itself is being destroyed; forget it (never unsubscribe from inside this).
  virtual void DisplayDestroyed() = 0;
};

// The side of a display that subscribers see. The display implements it; tests use a fake.
class DisplayPublisher {
 public:
  virtual ~DisplayPublisher() = default;

  // Adds a subscriber once; subscribing twice has no further effect.
  virtual void Subscribe(DisplaySubscriber& subscriber) = 0;
  // Removes a subscriber; unknown subscribers are ignored.
  virtual void Unsubscribe(DisplaySubscriber& subscriber) = 0;
  virtual bool IsInitialized() const = 0;
  // The back buffer; only meaningful while IsInitialized().
  virtual Surface& BackBuffer() = 0;
};

}  // namespace rivoltra
