// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark page: sarvel11's page timing itself as a learner drives it,
// each step from the click to the picture on the canvas. Results go into
// window.sarvelBench (and the page's title) for tests/web_bench.py.
(function () {
  'use strict';
  function average(times, body) {
    const start = performance.now();
    for (let i = 0; i < times; i++) body(i);
    return (performance.now() - start) / times;
  }
  function type(name, value) {
    const box = document.getElementById(name);
    box.value = value;
    box.dispatchEvent(new Event('input'));
  }
  function run() {
    if (!window.sarvelReady) return setTimeout(run, 20);
    document.getElementById('Command6').click();  // the clock stops
    const step = document.getElementById('Command3');
    const results = {
      width: document.getElementById('picture').width,
      height: document.getElementById('picture').height,
    };
    // Animated: the default inputs, from radius 1100 on, rings come round.
    results.animatedMs = average(300, () => step.click());
    results.handOverMs = average(100, () => window.sarvelShow());
    // The model's side alone: the frame, the states and the description,
    // without the page showing them.
    const stepLine = 'click ' + step.dataset.id;
    results.modelOnlyMs = average(300, () =>
        Module.ccall('sarvel_event', 'string', ['string'], [stepLine]));
    // First after an edit: a wavelength of its own each time.
    results.firstAfterEditMs = average(20, (i) => {
      type('Text1', String(2 * (1 + 1e-6 * (i + 1))));
      step.click();
    });
    type('Text1', '0.1');
    results.wavelength01FirstAfterEditMs = average(5, (i) => {
      type('Text1', String(0.1 * (1 + 1e-6 * (i + 1))));
      step.click();
    });
    // The water under the rings, chosen from the menu as a learner does.
    type('Text1', '2');
    for (const name of ['surface', 'amplitude']) {
      document.getElementById(name === 'surface' ? 'waterSurface' : 'waterAmplitude').click();
      step.click();
      results[name + 'AnimatedMs'] = average(300, () => step.click());
      results[name + 'ModelOnlyMs'] = average(300, () =>
          Module.ccall('sarvel_event', 'string', ['string'], [stepLine]));
    }
    document.getElementById('waterNone').click();
    // The lines on, then P with its graph, the lines' orders and the tone:
    // the same frames, with what P adds read and shown each step.
    for (const name of ['Command1', 'Command2']) document.getElementById(name).click();
    results.linesAnimatedMs = average(300, () => step.click());
    for (const name of ['probeGraph', 'lineOrders', 'probeTone']) {
      document.getElementById(name).click();
    }
    step.dispatchEvent(new KeyboardEvent('keydown', { key: 'p', bubbles: true }));
    results.wavesAtPAnimatedMs = average(300, () => step.click());
    window.sarvelBench = results;
    document.title = JSON.stringify(results);
  }
  run();
})();
