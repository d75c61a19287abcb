// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of Form1: builds the controls from the table the program
// hands over, passes events to it, shows its pixels, and runs the clock it
// asks for. What anything means is decided in the program.
(function () {
  'use strict';
  const TWIPS_PER_PX = 15;
  const call = (name, ret, types, args) => Module.ccall(name, ret, types, args);
  const text = (name, types, args) => call(name, 'string', types || [], args || []);
  const num = (name, types, args) => call(name, 'number', types || [], args || []);

  let table = null;
  const controls = {};
  const canvas = document.getElementById('picture');
  const context = canvas.getContext('2d');
  let timer = 0;
  let epoch = -1;
  let failed = false;
  let started = false;
  const boxes = { Text1: 1, Text2: 2, Text3: 3 };
  const fragmentKeys = { wavelength: 'Text1', distance: 'Text2', dots: 'Text3' };
  const switchKeys = ['antinodal', 'nodal', 'crossings', 'antiphase'];

  const px = (twips) => Math.round(twips / TWIPS_PER_PX);
  const fontPx = (points) => points * 96 / 72;

  function build() {
    table = JSON.parse(text('sarvel_controls'));
    document.title = table.accessibleName;
    const form = document.getElementById('form');
    form.setAttribute('aria-label', table.accessibleName);
    const face = '"' + table.face + '", "MS PGothic", "IPAPGothic", ' +
        '"Noto Sans CJK JP", "Hiragino Kaku Gothic ProN", "Meiryo", sans-serif';
    // Focusable controls in their Tab order, then the labels.
    const rows = table.controls.slice().sort((a, b) =>
        (a.focusOrder || 1e9) - (b.focusOrder || 1e9));
    for (const row of rows) {
      let element;
      if (row.kind === 'button') {
        element = document.createElement('button');
        element.type = 'button';
        element.textContent = row.caption;
        element.addEventListener('click', () => click(row.name));
      } else if (row.kind === 'text') {
        element = document.createElement('input');
        element.type = 'text';
        element.value = row.caption;
        element.autocomplete = 'off';
        element.spellcheck = false;
        element.addEventListener('input', () => typed(row.name));
      } else if (row.kind === 'speed') {
        element = document.createElement('input');
        element.type = 'range';
        // Its value is the interval, as on the desktop; right is faster, so
        // the bar runs from right to left.
        element.min = table.speed.min;
        element.max = table.speed.max;
        element.step = table.speed.small;
        element.style.direction = 'rtl';
        setSpeed(element, table.speed.start);
        element.addEventListener('input', () => speedMoved(element));
        element.addEventListener('keydown', (event) => speedKey(element, event));
      } else {
        element = document.createElement('label');
        element.textContent = row.caption;
        element.classList.add('label');
      }
      element.id = row.name;
      element.classList.add('control');
      if (row.accessibleName) element.setAttribute('aria-label', row.accessibleName);
      if (row.description) element.setAttribute('aria-description', row.description);
      element.style.left = px(row.left) + 'px';
      element.style.top = px(row.top) + 'px';
      element.style.width = px(row.width) + 'px';
      element.style.height = px(row.height) + 'px';
      element.style.fontFamily = face;
      if (row.points > 0) {
        element.style.fontSize = fontPx(row.points) + 'px';
        element.style.fontWeight = row.bold ? 'bold' : 'normal';
      }
      if (row.focusOrder === 0 && row.kind !== 'label') element.tabIndex = -1;
      controls[row.name] = { row, element };
      form.appendChild(element);
    }
    // A label whose caption is a control's name labels that control.
    // (No destructuring in loops: emscripten's minifier drops it.)
    for (const control of Object.values(controls)) {
      const row = control.row;
      const element = control.element;
      if (row.kind !== 'label') continue;
      for (const other of Object.values(controls)) {
        if (other.row.accessibleName === row.caption && other.row.kind !== 'label') {
          element.htmlFor = other.row.name;
        }
      }
    }
    fitButtonCaptions(face);
  }

  // The buttons share one size, the largest in which every caption fits.
  function fitButtonCaptions(face) {
    const buttons = Object.values(controls).filter((c) => c.row.kind === 'button');
    if (buttons.length === 0) return;
    const measure = document.createElement('canvas').getContext('2d');
    const narrowest = Math.min(...buttons.map((b) => px(b.row.width))) - 2 * 4;
    let points = 9;
    const widest = () => {
      measure.font = fontPx(points) + 'px ' + face;
      return Math.max(...buttons.map((b) => measure.measureText(b.row.caption).width));
    };
    while (widest() > narrowest && points > 5) points -= 0.25;
    for (const b of buttons) b.element.style.fontSize = fontPx(points) + 'px';
  }

  function speedOf(element) {
    return Number(element.value);
  }
  function setSpeed(element, ms) {
    element.value = ms;
    element.setAttribute('aria-valuetext', ms + ' ミリ秒');
  }
  function speedMoved(element) {
    const ms = speedOf(element);
    element.setAttribute('aria-valuetext', ms + ' ミリ秒');
    num('sarvel_set_speed', ['number'], [ms]);
    keepFragment();
  }
  // Page keys step by the bar's large step, as on the desktop.
  function speedKey(element, event) {
    let step = 0;
    if (event.key === 'PageUp') step = table.speed.large;
    if (event.key === 'PageDown') step = -table.speed.large;
    if (step === 0) return;
    event.preventDefault();
    const ms = Math.min(table.speed.max, Math.max(table.speed.min, speedOf(element) - step));
    setSpeed(element, ms);
    speedMoved(element);
  }

  function typed(name) {
    call('sarvel_set_text', null, ['number', 'string'],
         [boxes[name], controls[name].element.value]);
    keepFragment();
  }

  function click(name) {
    handled(num('sarvel_click', ['string'], [name]));
    keepFragment();
  }

  // After a handler: the picture, Label B, the phase label, the switches'
  // states, the clock, and an announcement when a setting changed (a tick
  // that only moves the waves changes none).
  function handled(ok) {
    if (!ok) return fail();
    show();
    // Only what changed is written: each write makes the browser look at the
    // page again, and a tick changes little.
    const label5 = controls.Label5;
    if (label5) setStyle(label5.element, 'left', px(num('sarvel_label5_left')) + 'px');
    if (controls.Label7 && controls.Command7) {
      const phase = text('sarvel_phase');
      if (controls.Label7.element.textContent !== phase) {
        controls.Label7.element.textContent = phase;
      }
    }
    for (const name of ['Command1', 'Command2', 'Command4', 'Command6', 'Command7']) {
      if (!controls[name]) continue;
      setAttribute(controls[name].element, 'aria-description',
                   text('sarvel_state', ['string'], [name]));
    }
    for (const pair of [['Command1', 'antinodal'], ['Command2', 'nodal'],
                        ['Command4', 'crossings']]) {
      const on = num('sarvel_switch', ['string'], [pair[1]]) === 1;
      setAttribute(controls[pair[0]].element, 'aria-pressed', on ? 'true' : 'false');
    }
    showProbe();
    const description = text('sarvel_description');
    setAttribute(canvas, 'aria-label', description);
    if (num('sarvel_settings_changed') === 1) {
      document.getElementById('announce').textContent = description;
    }
    restartClock();
  }

  function setAttribute(element, name, value) {
    if (element.getAttribute(name) !== value) element.setAttribute(name, value);
  }
  function setStyle(element, name, value) {
    if (element.style[name] !== value) element.style[name] = value;
  }


  // The point P, in twips: placed by a press on free picture, dragged,
  // removed by a press on it or Esc; P places it by the keyboard, arrows
  // move it (Shift: ten times as far) unless a box or the bar has them.
  let probe = null;
  let pressed = null;  // {onProbe, x, y} while a pointer is down
  const PROBE_RADIUS_PX = 8;
  const PROBE_STEP_PX = 2;

  function placeProbe(twips) {
    probe = twips;
    call('sarvel_set_probe', null, ['number', 'number', 'number'],
         probe ? [probe.x, probe.y, 1] : [0, 0, 0]);
    showProbe();
    // Each move is told: the picture's description holds the readout.
    const description = text('sarvel_description');
    setAttribute(canvas, 'aria-label', description);
    document.getElementById('announce').textContent = description;
  }

  function showProbe() {
    const mark = document.getElementById('probe');
    const readout = document.getElementById('readout');
    if (!probe) {
      mark.hidden = true;
      readout.hidden = true;
      return;
    }
    const x = probe.x / TWIPS_PER_PX, y = probe.y / TWIPS_PER_PX;
    setStyle(mark, 'left', x + 'px');
    setStyle(mark, 'top', y + 'px');
    mark.hidden = false;
    const words = text('sarvel_probe_text');
    if (readout.textContent !== words) readout.textContent = words;
    readout.hidden = false;
    // Under P (over it near the bottom), centred, inside the page.
    const form = document.getElementById('form');
    const width = readout.offsetWidth, height = readout.offsetHeight;
    const gap = PROBE_RADIUS_PX + 4;
    let top = y + gap;
    if (top + height > form.offsetHeight) top = y - gap - height;
    const clamp = (v, room) => Math.min(Math.max(v, 0), Math.max(room, 0));
    setStyle(readout, 'left', clamp(x - width / 2, form.offsetWidth - width) + 'px');
    setStyle(readout, 'top', clamp(top, form.offsetHeight - height) + 'px');
  }

  function pointerTwips(event) {
    const box = canvas.getBoundingClientRect();
    return { x: (event.clientX - box.left) * TWIPS_PER_PX,
             y: (event.clientY - box.top) * TWIPS_PER_PX };
  }

  function probePointer() {
    canvas.addEventListener('pointerdown', (event) => {
      if (failed || event.button !== 0) return;
      const at = pointerTwips(event);
      const onProbe = probe !== null &&
          Math.hypot(at.x - probe.x, at.y - probe.y) / TWIPS_PER_PX <= PROBE_RADIUS_PX + 3;
      pressed = { onProbe, x: event.clientX, y: event.clientY };
      canvas.setPointerCapture(event.pointerId);
      event.preventDefault();
      if (!onProbe) placeProbe(at);
    });
    canvas.addEventListener('pointermove', (event) => {
      if (!pressed) return;
      if (pressed.onProbe &&
          Math.abs(event.clientX - pressed.x) + Math.abs(event.clientY - pressed.y) < 3) {
        return;  // not yet a drag
      }
      pressed.onProbe = false;
      placeProbe(pointerTwips(event));
    });
    const release = () => {
      if (pressed && pressed.onProbe) placeProbe(null);  // a press on P
      pressed = null;
    };
    canvas.addEventListener('pointerup', release);
    canvas.addEventListener('pointercancel', () => { pressed = null; });
    canvas.style.touchAction = 'none';
  }

  function probeKeys() {
    document.addEventListener('keydown', (event) => {
      if (failed || event.ctrlKey || event.altKey || event.metaKey) return;
      const target = event.target;
      const typing = target instanceof HTMLInputElement;
      if (event.key === 'Escape' && probe) {
        placeProbe(null);
        return;
      }
      if (typing) return;  // a box keeps what is typed, the bar its keys
      if (event.key === 'p' || event.key === 'P') {
        // Between the sources, or the middle of the page when that is off it.
        const form = document.getElementById('form');
        let x = 4000 + 250 * num('sarvel_separation');
        let y = 4000;
        if (!(x / TWIPS_PER_PX >= 0 && x / TWIPS_PER_PX < form.offsetWidth)) {
          x = form.offsetWidth / 2 * TWIPS_PER_PX;
          y = form.offsetHeight / 2 * TWIPS_PER_PX;
        }
        placeProbe({ x, y });
        event.preventDefault();
        return;
      }
      const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0],
                      ArrowUp: [0, -1], ArrowDown: [0, 1] };
      if (!probe || !(event.key in moves)) return;
      const step = PROBE_STEP_PX * (event.shiftKey ? 10 : 1) * TWIPS_PER_PX;
      const move = moves[event.key];
      placeProbe({ x: probe.x + move[0] * step, y: probe.y + move[1] * step });
      event.preventDefault();
    });
  }

  function restartClock() {
    const now = num('sarvel_clock_epoch');
    if (now === epoch) return;
    epoch = now;
    clearTimeout(timer);
    const interval = num('sarvel_interval');
    if (interval > 0 && !failed) timer = setTimeout(tick, interval);
  }

  function tick() {
    // Counted only when it draws, so that the tests can replay it.
    if (num('sarvel_interval') > 0) {
      window.sarvelTicks += 1;
      if (window.sarvelFirstFrameMs === undefined) {
        window.sarvelFirstFrameMs = performance.now();
      }
    }
    handled(num('sarvel_tick'));
  }

  function show() {
    const width = num('sarvel_width');
    const height = num('sarvel_height');
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, num('sarvel_pixels'),
                                        width * height * 4);
    context.putImageData(new ImageData(bytes, width, height), 0, 0);
  }

  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(document.documentElement.clientWidth, px(table.width));
    const height = Math.max(document.documentElement.clientHeight, px(table.height));
    const ok = num('sarvel_resize', ['number', 'number', 'number'], [width, height, ratio]);
    if (!ok) return fail();
    const form = document.getElementById('form');
    form.style.width = width + 'px';
    form.style.height = height + 'px';
    canvas.style.width = width + 'px';
    canvas.style.height = height + 'px';
    show();
  }

  function fail() {
    if (failed) return;
    failed = true;
    clearTimeout(timer);
    const box = document.getElementById('failure');
    box.textContent = '実行時エラーが発生しました。\n' + text('sarvel_failure') +
        '\nプログラムを終了します。';
    box.hidden = false;
    for (const control of Object.values(controls)) control.element.disabled = true;
  }

  // A link may carry a prepared picture: #wavelength=1&distance=4&antinodal=1.
  // Values go into the boxes as typed; the boxes read them as they read
  // anything typed.
  // Switches after the load handler, which sets them; the rest before it,
  // which takes the speed bar's interval.
  function readFragment(params, switches) {
    if (switches) {
      for (const key of switchKeys) {
        if (!params.has(key)) continue;
        call('sarvel_set_switch', null, ['string', 'number'],
             [key, params.get(key) === '1' ? 1 : 0]);
      }
      return;
    }
    for (const key of Object.keys(fragmentKeys)) {
      const name = fragmentKeys[key];
      if (!params.has(key) || !controls[name]) continue;
      controls[name].element.value = params.get(key).slice(0, 200);
      typed(name);
    }
    if (params.has('speed') && controls.HScroll1) {
      const ms = Number(params.get('speed'));
      if (Number.isFinite(ms)) {
        setSpeed(controls.HScroll1.element,
                 Math.min(table.speed.max, Math.max(table.speed.min, Math.round(ms))));
        speedMoved(controls.HScroll1.element);
      }
    }
  }

  function keepFragment() {
    if (!table || !started) return;
    const params = new URLSearchParams();
    for (const key of Object.keys(fragmentKeys)) {
      const name = fragmentKeys[key];
      if (controls[name]) params.set(key, controls[name].element.value);
    }
    for (const key of switchKeys) {
      if (key === 'antiphase' && !controls.Command7) continue;
      params.set(key, String(num('sarvel_switch', ['string'], [key])));
    }
    if (controls.HScroll1) params.set('speed', String(speedOf(controls.HScroll1.element)));
    // Replacing the address costs milliseconds: only when it changed.
    const fragment = '#' + params.toString();
    if (fragment !== location.hash) history.replaceState(null, '', fragment);
  }

  function start() {
    window.sarvelTicks = 0;
    build();
    num('sarvel_set_speed', ['number'], [table.speed.start]);
    const shared = new URLSearchParams(location.hash.replace(/^#/, ''));
    readFragment(shared, false);
    const loaded = num('sarvel_load');
    readFragment(shared, true);
    fit();
    handled(loaded);
    started = true;
    keepFragment();
    window.addEventListener('resize', fit);
    probePointer();
    probeKeys();
    const first = Object.values(controls)
        .filter((c) => c.row.focusOrder > 0)
        .sort((a, b) => a.row.focusOrder - b.row.focusOrder)[0];
    if (first) first.element.focus({ preventScroll: true });
    window.sarvelReadyMs = performance.now();
    window.sarvelReady = true;
    window.sarvelShow = show;  // for the benchmark page
  }

  if (typeof runtimeInitialized !== 'undefined' && runtimeInitialized) {
    start();
  } else {
    Module.onRuntimeInitialized = start;
  }
})();
