// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of Form1: builds the controls from the table the program
// hands over, passes every event to it as one line, and shows what it
// answers. Nothing here decides what anything means.
(function () {
  'use strict';
  const controls = {};  // by name, as the element ids are
  const canvas = document.getElementById('picture');
  const context = canvas.getContext('2d');
  const form = document.getElementById('form');
  let timer = 0;
  let failed = false;
  let menu = null;
  let face = '';
  let readoutFace = '"IPAPGothic", "Noto Sans CJK JP", "Hiragino Kaku Gothic ProN", sans-serif';
  let nowWord = '';
  // Every event, in order, so that a test can replay it natively.
  window.sarvelEvents = [];

  function send(line) {
    if (failed) return {};
    window.sarvelEvents.push(line);
    const view = JSON.parse(Module.ccall('sarvel_event', 'string', ['string'], [line]));
    show(view);
    return view;
  }

  function build(table) {
    document.title = table.accessibleName;
    form.setAttribute('aria-label', table.accessibleName);
    face = faceOf(table.face);
    for (const row of table.controls) {
      let element;
      if (row.kind === 'button') {
        element = document.createElement('button');
        element.type = 'button';
        element.textContent = row.caption;
        element.addEventListener('click', () => send('click ' + row.id));
      } else if (row.kind === 'text') {
        element = document.createElement('input');
        element.type = 'text';
        element.value = row.caption;
        element.autocomplete = 'off';
        element.spellcheck = false;
        element.addEventListener('input', () => send('type ' + row.id + ' ' + element.value));
      } else if (row.kind === 'speed') {
        // Its value is the interval; right is faster, so it runs right to left.
        element = document.createElement('input');
        element.type = 'range';
        element.min = table.speed.min;
        element.max = table.speed.max;
        element.step = table.speed.small;
        element.style.direction = 'rtl';
        element.addEventListener('input', () => send('speed ' + element.value));
      } else {
        element = document.createElement('label');
        element.textContent = row.caption;
        element.classList.add('label');
        if (row.labelFor) element.htmlFor = row.labelFor;
      }
      element.id = row.name;
      element.dataset.id = row.id;
      element.classList.add('control');
      if (row.accessibleName) element.setAttribute('aria-label', row.accessibleName);
      if (row.description) element.setAttribute('aria-description', row.description);
      const style = element.style;
      style.left = row.left + 'px';
      style.top = row.top + 'px';
      style.width = row.width + 'px';
      style.height = row.height + 'px';
      style.fontFamily = face;
      if (row.fontPx > 0) {
        style.fontSize = row.fontPx + 'px';
        style.fontWeight = row.bold ? 'bold' : 'normal';
      }
      if (!row.focusable && row.kind !== 'label') element.tabIndex = -1;
      controls[row.name] = { row, element };
      form.appendChild(element);
    }
    captionFit = table.captionFit;
    fitButtonCaptions();
    menu = window.sarvelMenu(table.menu, face, (name) => send('choose ' + name));
    form.appendChild(menu.button);
    menu.button.style.fontSize = Object.values(controls)
        .find((c) => c.row.kind === 'button').element.style.fontSize;
    // P and its readout over every control, as on the desktop; the menu
    // over them.
    form.appendChild(document.getElementById('probe'));
    form.appendChild(document.getElementById('readout'));
    form.appendChild(document.getElementById('graph'));
    form.appendChild(menu.popup);
    if (!AudioContextOf()) send('sound 0');
  }

  // The language's faces first; Japanese faces after them for what they lack.
  function faceOf(faces) {
    return faces.split(',').map((f) => '"' + f.trim() + '", ').join('') +
        '"MS PGothic", "IPAPGothic", "Noto Sans CJK JP", "Hiragino Kaku Gothic ProN", ' +
        '"Meiryo", sans-serif';
  }

  // The buttons share one size, the largest in which every caption fits.
  let captionFit = null;
  function fitButtonCaptions() {
    const fit = captionFit;
    const buttons = Object.values(controls).filter((c) => c.row.kind === 'button');
    if (buttons.length === 0) return;
    const measure = document.createElement('canvas').getContext('2d');
    const border = parseFloat(getComputedStyle(buttons[0].element).borderLeftWidth) || 0;
    const room = Math.min(...buttons.map((b) => b.row.width)) - 2 * (border + fit.sparePx);
    let size = fit.startPx;
    const widest = () => {
      measure.font = size + 'px ' + face;
      return Math.max(...buttons.map((b) => measure.measureText(b.element.textContent).width));
    };
    while (widest() > room && size > fit.smallestPx) {
      size = Math.max(fit.smallestPx, size - fit.stepPx);
    }
    for (const b of buttons) b.element.style.fontSize = size + 'px';
  }

  // A label's caption wider than the label is shown whole, smaller.
  function fitLabel(label) {
    const measure = document.createElement('canvas').getContext('2d');
    const weight = label.row.bold ? 'bold ' : '';
    let size = label.row.fontPx;
    const wide = () => {
      measure.font = weight + size + 'px ' + face;
      return measure.measureText(label.element.textContent).width;
    };
    while (wide() > label.row.width && size > captionFit.smallestPx) {
      size = Math.max(captionFit.smallestPx, size - captionFit.stepPx);
    }
    label.element.style.fontSize = size + 'px';
  }

  // Every word of the form in the language chosen, in its face; the
  // document's language with them, so that a screen reader picks its voice.
  function showWords(words) {
    document.documentElement.lang = words.language;
    document.title = words.name;
    form.setAttribute('aria-label', words.name);
    face = faceOf(words.face);
    readoutFace = face;
    nowWord = words.graphNow;
    document.getElementById('readout').style.fontFamily = face;
    for (const w of words.controls) {
      const control = controls[w.name];
      if (!control) continue;
      const element = control.element;
      element.style.fontFamily = face;
      if (control.row.kind === 'button' || control.row.kind === 'label') {
        element.textContent = w.caption;
      }
      if (control.row.kind === 'label') fitLabel(control);
      if (w.accessibleName) setAttribute(element, 'aria-label', w.accessibleName);
      if (w.description) setAttribute(element, 'aria-description', w.description);
    }
    fitButtonCaptions();
    menu.name(words.menuCaption);
    menu.button.style.fontFamily = face;
    menu.popup.style.fontFamily = face;
    menu.button.style.fontSize = Object.values(controls)
        .find((c) => c.row.kind === 'button').element.style.fontSize;
  }

  function setAttribute(element, name, value) {
    if (element.getAttribute(name) !== value) element.setAttribute(name, value);
  }

  // Only what changed is written: each write makes the browser look at the
  // page again, and a tick changes little.
  function show(view) {
    if (view.failure !== undefined) return fail(view.failure);
    if (view.words) showWords(view.words);
    if (view.size) {
      for (const element of [form, canvas]) {
        element.style.width = view.size[0] + 'px';
        element.style.height = view.size[1] + 'px';
      }
    }
    if (view.picture || view.size) showPixels();
    for (const change of view.controls || []) {
      const element = controls[change.name].element;
      if (change.left !== undefined) element.style.left = change.left + 'px';
      if (change.caption !== undefined) {
        element.textContent = change.caption;
        if (controls[change.name].row.kind === 'label') fitLabel(controls[change.name]);
      }
      if (change.text !== undefined) element.value = change.text;
      if (change.value !== undefined && Number(element.value) !== change.value) {
        element.value = change.value;
      }
      if (change.valueText !== undefined) {
        setAttribute(element, 'aria-valuetext', change.valueText);
      }
      if (change.description !== undefined) {
        setAttribute(element, 'aria-description', change.description);
      }
      if (change.pressed !== undefined) {
        setAttribute(element, 'aria-pressed', String(change.pressed));
      }
    }
    // Placed first: a new text is measured and placed again after.
    if (view.readout) {
      const readout = document.getElementById('readout');
      readout.style.left = view.readout[0] + 'px';
      readout.style.top = view.readout[1] + 'px';
    }
    if (view.probe) showProbe(view.probe);
    if (view.description !== undefined) {
      setAttribute(canvas, 'aria-label', view.description);
      if (view.announce) document.getElementById('announce').textContent = view.description;
    }
    if (view.interval !== undefined) {
      clearTimeout(timer);
      if (view.interval > 0) timer = setTimeout(tick, view.interval);
    }
    if (view.graph) showGraph(view.graph);
    if (view.labels) showLabels(view.labels);
    if (view.tone) sound(view.tone);
    if (view.menu) menu.show(view.menu, view.menuDescription);
    if (view.setup !== undefined && '#' + view.setup !== location.hash) {
      history.replaceState(null, '', '#' + view.setup);
    }
  }

  function showProbe(probe) {
    const mark = document.getElementById('probe');
    const readout = document.getElementById('readout');
    mark.hidden = !probe.shown;
    readout.hidden = !probe.shown;
    if (!probe.shown) return;
    const size = 2 * probe.radius;
    Object.assign(mark.style, {
      left: probe.x + 'px', top: probe.y + 'px', width: size + 'px', height: size + 'px',
      margin: -probe.radius + 'px 0 0 ' + -probe.radius + 'px',
    });
    if (readout.textContent !== probe.readout) readout.textContent = probe.readout;
    send('readout ' + readout.offsetWidth + ' ' + readout.offsetHeight);
  }

  // The waves at P: A's, B's and their sum, −2 … 2, now at the right; the
  // traces read from the program's memory.
  function showGraph(graph) {
    const box = document.getElementById('graph');
    box.hidden = !graph.shown;
    if (!graph.shown) return;
    const left = graph.box[0], top = graph.box[1];
    const width = graph.box[2], height = graph.box[3];
    const ratio = window.devicePixelRatio || 1;
    Object.assign(box.style, {
      left: left + 'px', top: top + 'px', width: width + 'px', height: height + 'px',
    });
    if (box.width !== Math.round(width * ratio)) box.width = Math.round(width * ratio);
    if (box.height !== Math.round(height * ratio)) box.height = Math.round(height * ratio);
    const g = box.getContext('2d');
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.fillStyle = 'rgba(255, 255, 255, 0.92)';
    g.clearRect(0, 0, width, height);
    g.fillRect(0, 0, width, height);
    g.strokeStyle = 'rgb(255, 128, 0)';
    g.lineWidth = 2;
    g.strokeRect(1, 1, width - 2, height - 2);
    g.font = '11px ' + readoutFace;
    g.textBaseline = 'alphabetic';
    const legend = [['A', '#f00'], ['B', '#00f'], ['A + B', '#000']];
    let x = 6;
    for (let i = 0; i < legend.length; i++) {
      g.fillStyle = legend[i][1];
      g.fillText(legend[i][0], x, 14);
      x += g.measureText(legend[i][0]).width + 10;
    }
    g.fillStyle = '#606060';
    g.textAlign = 'right';
    g.fillText(nowWord, width - 6, 14);
    g.textAlign = 'left';
    const plot = { left: 6, top: 18, width: width - 12, height: height - 22 };
    const y = (v) => plot.top + plot.height * (2 - v) / 4;
    g.lineWidth = 1;
    g.strokeStyle = '#a0a0a0';
    g.beginPath();
    g.moveTo(plot.left, y(0));
    g.lineTo(plot.left + plot.width, y(0));
    g.stroke();
    g.strokeStyle = '#c8c8c8';
    g.setLineDash([2, 2]);
    g.beginPath();
    g.moveTo(plot.left, y(2));
    g.lineTo(plot.left + plot.width, y(2));
    g.moveTo(plot.left, y(-2));
    g.lineTo(plot.left + plot.width, y(-2));
    g.moveTo(plot.left + plot.width, y(2));
    g.lineTo(plot.left + plot.width, y(-2));
    g.stroke();
    g.setLineDash([]);
    const n = graph.points;
    const values = HEAPF32.subarray(Module.ccall('sarvel_graph', 'number', [], []) >> 2);
    const step = plot.width / Math.max(1, n - 1);
    const traces = [['#f00', 1.5], ['#00f', 1.5], ['#000', 2.5]];
    for (let t = 0; t < 3; t++) {
      g.strokeStyle = traces[t][0];
      g.lineWidth = traces[t][1];
      g.beginPath();
      for (let k = 0; k < n; k++) g.lineTo(plot.left + k * step, y(values[t * n + k]));
      g.stroke();
      g.fillStyle = traces[t][0];
      g.beginPath();
      g.arc(plot.left + plot.width, y(values[t * n + n - 1]), 2.5, 0, 2 * Math.PI);
      g.fill();
    }
  }

  // The lines' orders over the picture, under the controls.
  function showLabels(labels) {
    const layer = document.getElementById('labels');
    layer.replaceChildren(...labels.map((l) => {
      const e = document.createElement('span');
      e.className = l.antinodal ? 'antinodal' : 'nodal';
      e.textContent = l.text;
      Object.assign(e.style, {
        left: l.box[0] + 'px', top: l.box[1] + 'px',
        width: l.box[2] + 'px', height: l.box[3] + 'px',
      });
      return e;
    }));
  }

  // The tone at P, in Web Audio, its samples the program's. The context
  // is made in the learner's own gesture that switched the tone on, as
  // browsers ask; off, it fades and then sleeps.
  let audio = null;
  function AudioContextOf() {
    return window.AudioContext || window.webkitAudioContext;
  }
  function sound(tone) {
    if (tone.on && !audio) {
      try {
        const context = new (AudioContextOf())();
        const processor = context.createScriptProcessor(1024, 0, 1);
        const analyser = context.createAnalyser();
        Module.ccall('sarvel_tone_start', null, ['number'], [context.sampleRate]);
        processor.onaudioprocess = (event) => {
          const out = event.outputBuffer.getChannelData(0);
          const at = Module.ccall('sarvel_tone', 'number', ['number'], [out.length]);
          out.set(HEAPF32.subarray(at >> 2, (at >> 2) + out.length));
        };
        processor.connect(analyser);
        analyser.connect(context.destination);
        audio = { context, processor, analyser, sleep: 0 };
        window.sarvelAudio = audio;  // what a test listens to
      } catch (e) {
        audio = null;
        send('sound 0');
        return;
      }
    }
    if (!audio) return;
    clearTimeout(audio.sleep);
    if (tone.on) {
      if (audio.context.state !== 'running') audio.context.resume();
    } else {
      audio.sleep = setTimeout(() => audio.context.suspend(), 200);
    }
  }

  function showPixels() {
    const width = Module.ccall('sarvel_width', 'number', [], []);
    const height = Module.ccall('sarvel_height', 'number', [], []);
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
    const at = Module.ccall('sarvel_pixels', 'number', [], []);
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, at, width * height * 4);
    context.putImageData(new ImageData(bytes, width, height), 0, 0);
  }

  function tick() {
    const view = send('tick');
    // Counted only when it drew, so that the tests know what ran.
    if (view.picture) {
      window.sarvelTicks += 1;
      if (window.sarvelFirstFrameMs === undefined) {
        window.sarvelFirstFrameMs = performance.now();
      }
    }
  }

  function fail(message) {
    failed = true;
    clearTimeout(timer);
    const box = document.getElementById('failure');
    box.textContent = message;
    box.hidden = false;
    for (const control of Object.values(controls)) control.element.disabled = true;
  }

  function fit() {
    send('resize ' + document.documentElement.clientWidth + ' ' +
         document.documentElement.clientHeight + ' ' + (window.devicePixelRatio || 1));
  }

  function listen() {
    const at = (event) => {
      const box = canvas.getBoundingClientRect();
      return (event.clientX - box.left) + ' ' + (event.clientY - box.top);
    };
    canvas.addEventListener('pointerdown', (event) => {
      if (event.button !== 0) return;
      canvas.setPointerCapture(event.pointerId);
      event.preventDefault();
      send('press ' + at(event));
    });
    canvas.addEventListener('pointermove', (event) => {
      if (event.buttons !== 0) send('drag ' + at(event));
    });
    canvas.addEventListener('pointerup', () => send('release'));
    canvas.addEventListener('pointercancel', () => send('cancel'));
    // Right click, the Menu key, Shift+F10; a text box keeps its own menu.
    document.addEventListener('contextmenu', (event) => {
      if (event.target.type === 'text') return;
      event.preventDefault();
      const r = event.target.getBoundingClientRect();
      const byKey = event.clientX === 0 && event.clientY === 0;
      menu.open(byKey ? r.left + r.width / 2 : event.clientX,
                byKey ? r.top + r.height / 2 : event.clientY);
    });
    holdForMenu();
    canvas.style.touchAction = 'none';
    document.addEventListener('keydown', (event) => {
      const focus = event.target.dataset ? event.target.dataset.id : undefined;
      const view = send('key ' + (event.shiftKey ? 1 : 0) + ' ' +
                        (event.ctrlKey || event.altKey || event.metaKey ? 1 : 0) + ' ' +
                        (focus === undefined ? -1 : focus) + ' ' + event.key);
      if (view.keyTaken) event.preventDefault();
    });
    window.addEventListener('resize', fit);
  }

  // A long press of a finger on the picture, which no browser on a tablet
  // reports alike, opens the menu too; the press it began is cancelled.
  function holdForMenu() {
    let hold = 0, x = 0, y = 0;
    canvas.addEventListener('pointerdown', (event) => {
      if (event.pointerType !== 'touch') return;
      x = event.clientX;
      y = event.clientY;
      hold = setTimeout(() => { send('cancel'); menu.open(x, y); }, 600);
    });
    canvas.addEventListener('pointermove', (event) => {
      if (Math.hypot(event.clientX - x, event.clientY - y) > 10) clearTimeout(hold);
    });
    for (const end of ['pointerup', 'pointercancel']) {
      canvas.addEventListener(end, () => clearTimeout(hold));
    }
  }

  function start() {
    window.sarvelTicks = 0;
    build(JSON.parse(Module.ccall('sarvel_controls', 'string', [], [])));
    fit();
    // The browser's languages: a name with no language in it (WebKit's "C")
    // the program passes over.
    const languages = (navigator.languages && navigator.languages.length
                       ? navigator.languages : [navigator.language || '']).join(',');
    send('load ' + (languages || '-') + ' ' + location.hash.replace(/^#/, ''));
    listen();
    const first = Object.values(controls).find((c) => c.row.focusable);
    if (first) first.element.focus({ preventScroll: true });
    window.sarvelReadyMs = performance.now();
    window.sarvelReady = true;
    window.sarvelShow = showPixels;  // for the benchmark page
  }

  if (typeof runtimeInitialized !== 'undefined' && runtimeInitialized) {
    start();
  } else {
    Module.onRuntimeInitialized = start;
  }
})();
