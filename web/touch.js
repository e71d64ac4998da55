// Touch play. The controls are shown once the page sees a touch and hidden again when a key or a
// game controller is used. Every finger holds the action of the button under it, so steering,
// accelerating and firing go together and a finger sliding from one button to the next changes
// its action; a touch the system cancels lets its action go. A tap on the canvas is a click
// there, at the right point at any scale. While the game asks for a name for the high-score
// table, a text field out of sight takes the phone's keyboard and types into the game.
// No gesture of the browser happens over the game: every touch on it is the page's alone.
'use strict';

(function () {
  const body = document.body;
  const stage = document.getElementById('stage');
  const canvas = document.getElementById('canvas');
  const nameForm = document.getElementById('name-form');
  const nameField = document.getElementById('name-field');
  const nameButton = document.getElementById('name-button');
  const buttons = Array.from(document.querySelectorAll('#touch [data-action]'));
  const kFinish = 5;
  const kNameEntry = 71;
  const kRace = 1;
  const kEscape = 27;

  // The program cannot be called while a score request holds it (asyncify); what the player
  // does then reaches it at the next tick.
  const ready = () => Module.calledRun && !Module.rivoltraFetching;

  // ---- Touch controls or keys: whatever the player used last.
  function useTouch(on) {
    if (body.classList.contains('touch') !== on) body.classList.toggle('touch', on);
  }
  // A phone or tablet (a finger is its main pointer) starts with them; elsewhere the first touch
  // shows them, once that touch's own handling is done, so it lands where the player aimed.
  useTouch(window.matchMedia('(pointer: coarse)').matches);
  window.addEventListener('touchstart', () => setTimeout(() => useTouch(true), 0),
    { capture: true, passive: true });
  window.addEventListener('keydown', () => useTouch(false));
  let ticksSinceControllerLook = 0;
  function controllerUsed() {
    for (const pad of navigator.getGamepads ? navigator.getGamepads() : []) {
      if (!pad) continue;
      if (pad.buttons.some((button) => button.pressed)) return true;
      if (pad.axes.some((axis) => Math.abs(axis) > 0.5)) return true;
    }
    return false;
  }

  // ---- The game's view decides which controls stand.
  let view = { screen: -1, finishPrompt: false, watchingReplay: false };
  Module.rivoltraViewListeners.push((next) => {
    view = next;
    body.classList.toggle('racing', next.screen === kRace && !next.watchingReplay);
    body.classList.toggle('prompt', next.screen === kRace && next.finishPrompt);
    followNameEntry(next.screen === kNameEntry);
  });
  function refreshView() {
    if (ready()) Module.rivoltraViewChanged(Module._rivoltra_view());
  }
  // Screens without ticks change only through input, which may be a key or a controller.
  setInterval(refreshView, 250);

  // ---- Fingers on buttons.
  const fingers = new Map();  // touch identifier -> the action held, or null
  // touch identifier -> where a touch that may still be a tap started: the page point and the
  // game point it aimed at
  const taps = new Map();
  // A finger that moves further than this is not tapping.
  const kTapSlop = 16;
  let sentHeld = -1;
  // Touch event time of each action pressed and not yet read by a tick, for the measurement.
  const pressedAt = new Map();
  // Per press: milliseconds from the touch event (its time stamp, and the moment the page's
  // handler had it) to the deadline of the tick that read it and to the animation frame that
  // ran that tick; and whether it was the first tick after the touch.
  const latencies = [];
  Module.rivoltraMeasure.touchLatencies = latencies;

  function actionAt(x, y) {
    const element = document.elementFromPoint(x, y);
    const button = element && element.closest('#touch [data-action]');
    return button ? Number(button.dataset.action) : null;
  }
  function heldActions() {
    let bits = 0;
    for (const action of fingers.values()) if (action !== null) bits |= 1 << action;
    return bits;
  }
  function sendHeld() {
    const bits = heldActions();
    for (const button of buttons) {
      button.classList.toggle('held', ((bits >> Number(button.dataset.action)) & 1) === 1);
    }
    if (bits === sentHeld || !ready()) return;
    sentHeld = bits;
    Module._rivoltra_touch_hold(bits);
  }
  function press(id, action, time) {
    const before = fingers.get(id) ?? null;
    if (action === before) return;
    // Watching a replay, the pause button is the replay's Escape: back to the main menu.
    if (action === kFinish && view.watchingReplay) {
      if (ready()) Module._rivoltra_type(kEscape);
      fingers.set(id, null);
      return;
    }
    fingers.set(id, action);
    if (action !== null && !pressedAt.has(action)) {
      pressedAt.set(action, { time, handled: performance.now(), ticksSince: 0 });
    }
    if (action !== null && navigator.vibrate) navigator.vibrate(8);
  }

  // The canvas point of a touch, in the game's 800 x 600 picture.
  function gamePoint(touch) {
    const box = canvas.getBoundingClientRect();
    if (touch.clientX < box.left || touch.clientX >= box.right || touch.clientY < box.top ||
        touch.clientY >= box.bottom) {
      return null;
    }
    return [Math.floor((touch.clientX - box.left) * canvas.width / box.width),
      Math.floor((touch.clientY - box.top) * canvas.height / box.height)];
  }

  function onTouch(event) {
    // The name field and its button are the browser's to handle (focus opens the keyboard).
    if (nameForm.contains(event.target)) return;
    event.preventDefault();
    for (const touch of event.changedTouches) {
      const id = touch.identifier;
      if (event.type === 'touchstart' || event.type === 'touchmove') {
        const action = actionAt(touch.clientX, touch.clientY);
        press(id, action, event.timeStamp);
        const point = gamePoint(touch);
        if (event.type === 'touchstart' && action === null && point !== null) {
          taps.set(id, { x: touch.clientX, y: touch.clientY, point });
        }
        const tap = taps.get(id);
        if (tap && (action !== null ||
            Math.hypot(touch.clientX - tap.x, touch.clientY - tap.y) > kTapSlop)) {
          taps.delete(id);
        }
      } else {
        const tap = taps.get(id);
        if (event.type === 'touchend' && tap && ready()) {
          Module._rivoltra_tap(tap.point[0], tap.point[1]);
          setTimeout(refreshView, 100);
        }
        taps.delete(id);
        fingers.delete(id);
      }
    }
    sendHeld();
  }
  for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel']) {
    stage.addEventListener(type, onTouch, { passive: false });
  }
  stage.addEventListener('contextmenu', (event) => event.preventDefault());
  // Safari's own pinch gesture events, which touch-action alone does not stop there.
  document.addEventListener('gesturestart', (event) => event.preventDefault());
  document.addEventListener('dblclick', (event) => event.preventDefault());

  // Every tick: catch up with a change the program could not take, note the touch-to-tick time
  // of the actions the tick read, and look at the game controllers now and then.
  Module.rivoltraTickListeners.push((touched, now, due) => {
    if (sentHeld !== heldActions()) sendHeld();
    for (const [action, press] of pressedAt) {
      if (((touched >> action) & 1) === 1) {
        if (latencies.length < 1000) {
          latencies.push({ toTick: due - press.handled, toFrame: now - press.handled,
            stampToTick: due - press.time, nextTick: press.ticksSince === 0 });
        }
        pressedAt.delete(action);
      } else {
        ++press.ticksSince;
      }
    }
    if (++ticksSinceControllerLook >= 15) {
      ticksSinceControllerLook = 0;
      if (body.classList.contains('touch') && controllerUsed()) useTouch(false);
    }
  });

  // ---- The name for the high-score table through the phone's keyboard. The field keeps a
  // marker of two spaces so that a backspace always has something to delete; whatever differs
  // from the marker is what the player typed.
  const kMarker = '  ';
  let naming = false;
  function resetField() {
    nameField.value = kMarker;
    nameField.setSelectionRange(kMarker.length, kMarker.length);
  }
  function type(code) {
    if (ready()) Module._rivoltra_type(code);
  }
  function followNameEntry(on) {
    if (on === naming) return;
    naming = on;
    body.classList.toggle('naming', on);
    if (on && body.classList.contains('touch')) {
      resetField();
      // Opens the keyboard where the browser allows it without a tap; elsewhere the button does.
      nameField.focus({ preventScroll: true });
    } else if (!on) {
      nameField.blur();
    }
  }
  function takeTyped() {
    const value = nameField.value;
    if (value.length < kMarker.length) {
      for (let i = value.length; i < kMarker.length; ++i) type(8);
    } else {
      for (const character of value.slice(kMarker.length)) {
        const code = character.charCodeAt(0);
        if (code >= 32 && code < 127) type(code);
      }
    }
    resetField();
    setTimeout(refreshView, 100);
  }
  nameField.addEventListener('input', (event) => { if (!event.isComposing) takeTyped(); });
  nameField.addEventListener('compositionend', takeTyped);
  // The game's own keyboard handling must not see these keys a second time.
  for (const type of ['keydown', 'keypress', 'keyup']) {
    nameField.addEventListener(type, (event) => event.stopPropagation());
  }
  nameField.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      event.preventDefault();
      takeTyped();
      type(13);
      nameField.blur();
    }
  });
  nameForm.addEventListener('submit', (event) => {
    event.preventDefault();
    type(13);
    nameField.blur();
  });
  nameField.addEventListener('focus', () => body.classList.add('typing'));
  nameField.addEventListener('blur', () => body.classList.remove('typing'));
  nameButton.addEventListener('click', () => {
    resetField();
    nameField.focus({ preventScroll: true });
  });
})();
