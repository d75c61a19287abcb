// SPDX-License-Identifier: GPL-3.0-or-later
// The extras' menu as a page shows it: a labelled button and a popup of
// checkable items (the water's views one of a group, the rest switches), built from what the program hands over, each choice sent
// back to it. The keys are those of a desktop menu: arrows move, Enter or
// Space chooses, Escape closes.
window.sarvelMenu = function (menu, face, choose) {
  'use strict';
  const button = document.createElement('button');
  button.type = 'button';
  button.id = 'menuButton';
  button.className = 'control';
  button.textContent = menu.caption;
  button.setAttribute('aria-haspopup', 'menu');
  button.setAttribute('aria-expanded', 'false');
  Object.assign(button.style, {
    left: menu.left + 'px', top: menu.top + 'px', width: menu.width + 'px',
    height: menu.height + 'px', fontFamily: face,
  });
  const popup = document.createElement('div');
  popup.id = 'extrasMenu';
  popup.setAttribute('role', 'menu');
  popup.setAttribute('aria-label', menu.caption);
  popup.hidden = true;
  const items = {};
  let group = null;
  for (const item of menu.items) {
    if (!group || group.getAttribute('aria-label') !== item.group) {
      group = document.createElement('div');
      group.setAttribute('role', 'group');
      group.setAttribute('aria-label', item.group);
      const heading = document.createElement('div');
      heading.className = 'heading';
      heading.setAttribute('aria-hidden', 'true');
      heading.textContent = item.group;
      group.appendChild(heading);
      popup.appendChild(group);
    }
    const element = document.createElement('div');
    element.id = item.name;
    element.setAttribute('role', item.toggle ? 'menuitemcheckbox' : 'menuitemradio');
    element.setAttribute('aria-checked', 'false');
    element.tabIndex = -1;
    element.textContent = item.caption;
    element.addEventListener('click', () => {
      if (element.getAttribute('aria-disabled') !== 'true') pick(item.name);
    });
    group.appendChild(element);
    items[item.name] = element;
  }
  const list = () => Object.values(items);
  let returnTo = null;

  function open(x, y) {
    returnTo = document.activeElement;
    popup.hidden = false;
    const box = popup.parentElement.getBoundingClientRect();
    popup.style.left = (x - box.left) + 'px';
    popup.style.top = (y - box.top) + 'px';
    button.setAttribute('aria-expanded', 'true');
    (list().find((e) => e.getAttribute('aria-checked') === 'true') || list()[0]).focus();
  }
  function close() {
    if (popup.hidden) return;
    popup.hidden = true;
    button.setAttribute('aria-expanded', 'false');
    if (returnTo && returnTo.focus) returnTo.focus({ preventScroll: true });
  }
  function pick(name) {
    close();
    choose(name);
  }
  button.addEventListener('click', () => {
    if (!popup.hidden) return close();
    const r = button.getBoundingClientRect();
    open(r.left, r.bottom);
  });
  popup.addEventListener('keydown', (event) => {
    const all = list();
    const at = all.indexOf(document.activeElement);
    const moves = { ArrowDown: 1, ArrowUp: -1, Home: -at, End: all.length - 1 - at };
    if (event.key in moves) {
      all[(at + moves[event.key] + all.length) % all.length].focus();
    } else if (event.key === 'Enter' || event.key === ' ') {
      if (at >= 0 && all[at].getAttribute('aria-disabled') !== 'true') pick(all[at].id);
    } else if (event.key === 'Escape' || event.key === 'Tab') {
      close();
    } else {
      return;
    }
    event.preventDefault();
    event.stopPropagation();
  });
  document.addEventListener('pointerdown', (event) => {
    if (!popup.contains(event.target) && event.target !== button) close();
  }, true);
  return {
    button, popup, open, close,
    name(caption) {
      button.textContent = caption;
      popup.setAttribute('aria-label', caption);
    },
    show(states, description) {
      for (const s of states) {
        const element = items[s.name];
        const group = element.parentElement;
        if (s.group !== undefined && group.getAttribute('aria-label') !== s.group) {
          group.setAttribute('aria-label', s.group);
          group.firstChild.textContent = s.group;
        }
        element.setAttribute('aria-checked', String(s.checked));
        element.setAttribute('aria-disabled', String(!s.enabled));
        if (element.textContent !== s.caption) element.textContent = s.caption;
      }
      if (button.getAttribute('aria-description') !== description) {
        button.setAttribute('aria-description', description);
      }
    },
  };
};
