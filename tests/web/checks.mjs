// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the page promises of every screen in each layout, read off the shown
// document.

// Wide: every control of the screen tables at least 24 CSS px high, the
// window centred. Phone: every control (close boxes too) at least 44 px high,
// nothing wider than the screen, the fields and buttons in one column of one
// width, top to bottom in tab order, each field's label above it. Both: no
// caption, label or button text cut off or spilling out of its box.
export async function layoutProblems(tab, layout) {
  return tab.evaluate((layout) => {
    const problems = [];
    const root = document.documentElement;
    if (root.scrollWidth > root.clientWidth) {
      problems.push(`the page scrolls sideways: ${root.scrollWidth} px in ${root.clientWidth}`);
    }
    const name = (e) => e.id || e.getAttribute("aria-label") || e.textContent.trim();
    const shown = [...document.querySelectorAll("section.window, dialog[open], #ended")]
      .filter((s) => !s.hidden && s.checkVisibility());
    for (const section of shown) {
      // A window too wide for the screen stands in one column; a phone's
      // window always. (WebKitGTK's narrowest window is 447 pixels wide,
      // which the main menu fits as drawn.)
      const narrow = section.classList.contains("narrow");
      if (layout === "phone" && innerWidth <= 400 && section.matches("section.window") && !narrow) {
        problems.push(`${section.dataset.screen} is not in one column on a phone`);
      }
      const column = layout === "phone" && (narrow || !section.matches("section.window"));
      if (!column && section.matches("section.window")) {
        const r = section.getBoundingClientRect();
        const left = r.left;
        const right = innerWidth - r.right;
        if (Math.abs(left - right) > 1) {
          problems.push(`${section.dataset.screen} is not centred: ${left} px left, ${right} px right`);
        }
      }
      if (column) {
        problems.push(...oneColumn(section));
      }
      for (const e of section.querySelectorAll("input, button, label, .label, h2")) {
        if (!e.checkVisibility()) {
          continue;
        }
        if (e.matches("input, button")) {
          const least = column ? 44 : e.matches(".close") ? 0 : 24;
          const height = e.getBoundingClientRect().height;
          if (height < least) {
            problems.push(`${name(e)} is ${height.toFixed(1)} px high, less than ${least}`);
          }
        }
        if (e.matches("button, label, .label, h2") && getComputedStyle(e).display !== "inline" &&
            e.scrollWidth > e.clientWidth) {
          problems.push(`"${e.textContent.trim()}" is cut off: ${e.scrollWidth} px in ${e.clientWidth}`);
        }
      }
    }
    return problems;

    function oneColumn(section) {
      const found = [];
      const controls = [...section.querySelectorAll("input, button:not(.close)")]
        .filter((e) => e.checkVisibility());
      let above = null;
      for (const e of controls) {
        const r = e.getBoundingClientRect();
        if (above) {
          const a = above.getBoundingClientRect();
          if (r.top < a.bottom - 1) {
            found.push(`${name(e)} is not below ${name(above)}, which comes before it`);
          }
          if (Math.abs(r.left - a.left) > 1 || Math.abs(r.width - a.width) > 1) {
            found.push(`${name(e)} and ${name(above)} are not in one column of one width`);
          }
        }
        for (const label of e.labels ?? []) {
          if (label.checkVisibility() && label.getBoundingClientRect().bottom > r.top + 1) {
            found.push(`the label of ${name(e)} is not above it`);
          }
        }
        above = e;
      }
      return found;
    }
  }, layout);
}

// No one can zoom a page that forbids it, nor read one laid out for a wider
// screen than the device's.
export async function viewportProblems(tab) {
  const content = await tab.evaluate(
    () => document.querySelector('meta[name="viewport"]')?.content ?? "");
  const problems = [];
  if (!/width\s*=\s*device-width/.test(content)) {
    problems.push(`the viewport is not the device's width: "${content}"`);
  }
  if (/user-scalable\s*=\s*(no|0)|maximum-scale\s*=\s*1(\.0*)?\b/.test(content)) {
    problems.push(`the viewport forbids zooming: "${content}"`);
  }
  return problems;
}

// In Windows' high contrast (forced-colors) the system's colours replace the
// page's, and whatever only a background set apart vanishes: every shown
// control and window, the close boxes and the dialog must keep a boundary of
// their own, the title bar its own colours, a disabled control GrayText, and
// the focus a ring.
export async function forcedColorsProblems(tab) {
  return tab.evaluate(() => {
    const problems = [];
    if (!matchMedia("(forced-colors: active)").matches) {
      return ["the page does not see forced colours"];
    }
    const probe = document.body.appendChild(document.createElement("span"));
    probe.style.color = "GrayText";
    const gray = getComputedStyle(probe).color;
    probe.remove();
    const name = (e) => e.id || e.getAttribute("aria-label") || e.textContent.trim().slice(0, 30);
    const shown = [...document.querySelectorAll("section.window, dialog[open], input, button")]
      .filter((e) => e.checkVisibility());
    for (const e of shown) {
      const s = getComputedStyle(e);
      if (s.borderTopStyle === "none" || parseFloat(s.borderTopWidth) === 0) {
        problems.push(`${name(e)} has no boundary`);
      }
      if (e.disabled && s.color !== gray) {
        problems.push(`${name(e)} is disabled but not in GrayText`);
      }
      if (e.matches(":focus-visible") && (s.outlineStyle === "none" || s.outlineColor === s.backgroundColor)) {
        problems.push(`${name(e)} has the focus and no ring`);
      }
    }
    for (const bar of document.querySelectorAll("section.window .titlebar")) {
      if (bar.checkVisibility() && getComputedStyle(bar).backgroundColor ===
          getComputedStyle(bar.closest("section.window")).backgroundColor) {
        problems.push(`the title bar of ${bar.textContent.trim()} is not set apart`);
      }
    }
    return problems;
  });
}
