// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One worked example per calculator, as a user of the page does it: controls
// found by role and accessible name, values typed with a point, results read
// in the browser's separator. The same examples, with the same digits, as the
// desktop's accessibility test. Each goes back to the main menu and returns
// it, or, with { stay: true }, returns the calculator's screen as it is.

import { openCalculator } from "./harness.mjs";

export async function crossSection(menu, { stay = false } = {}) {
  const s = await openCalculator(menu, "сечение провода по его диаметру", "сечение");
  await s.type("диаметр провода d,мм", "2.5");
  await s.calculate({ "сечение провода, S,мм": "4.90875" });
  await s.type("диаметр провода d,мм", "1.5");
  await s.calculate({ "сечение провода, S,мм": "1.76715" });
  return stay ? s : s.toMenu();
}

export async function ohmLaw(menu, { stay = false } = {}) {
  const s = await openCalculator(menu, "расчёт I,U,R,P", "расчёт I,U,R,P");
  // Nothing can be typed before the quantity and the known pair are chosen.
  await s.expectDisabled("ввод значений: U,В", "U,R", "P,R", "P,U");
  await s.choose("I", { enables: ["U,R", "P,R", "P,U"], disables: ["U", "R", "P"] });
  await s.choose("U,R", { enables: ["ввод значений: U,В", "ввод значений: R,Ом"],
                          disables: ["P,R", "P,U"] });
  await s.expectDisabled("ввод значений: I,A", "ввод значений: Р,Вт");
  await s.type("ввод значений: U,В", "10");
  await s.type("ввод значений: R,Ом", "3");
  await s.calculate({
    "результат: I,A": "3.333333",
    "результат: U,В": "10",
    "результат: R,Ом": "3",
    "результат: Р,Вт": "0",
  });
  return stay ? s : s.toMenu();
}

export async function reactance(menu, { stay = false } = {}) {
  const s = await openCalculator(menu, "реактивные сопротивления",
                                 "расчёт реактивных сопротивлений");
  await s.expectDisabled("L,Гн");
  await s.choose("Xl", { enables: ["L,Гн"] });
  await s.expectDisabled("C,Ф");
  await s.type("F,Гц", "50");
  await s.type("L,Гн", "0.1");
  await s.calculate({ X: "31.4000004678965" });
  return stay ? s : s.toMenu();
}

export async function impedance(menu, { stay = false } = {}) {
  const title = "полное сопротивление цепи";
  let s = await openCalculator(menu, title, title);
  await s.expectDisabled("R,Ом");
  await s.choose("последовательной: R,L", { enables: ["R,Ом", "L,Гн"] });
  await s.expectDisabled("С,Ф", "параллельной: R,L");
  await s.type("F, Гц", "50");
  await s.type("R,Ом", "30");
  await s.type("L,Гн", "0.1");
  await s.calculate({
    "Z,Ом": "43.4276413057847",
    "Sin ф": "0.723041812167539",
    "Cos ф": "0.690804268847175",
    "Tg ф": "1.04666668226322",
  });
  menu = await s.toMenu();

  // A fresh screen again; the parallel circuit writes Z alone.
  s = await openCalculator(menu, title, title);
  if ((await s.read("R,Ом")) !== "") {
    throw new Error('"R,Ом" kept its text through "главное меню"');
  }
  await s.choose("параллельной: R,C", { enables: ["R,Ом", "С,Ф"] });
  await s.expectDisabled("L,Гн", "последовательной: R,C");
  await s.type("F, Гц", "50");
  await s.type("R,Ом", "100");
  await s.type("С,Ф", "0.00001");
  await s.calculate({ "Z,Ом": "95.4071657001378", "Sin ф": "", "Cos ф": "", "Tg ф": "" });
  return stay ? s : s.toMenu();
}

export async function fusingCurrent(menu, { stay = false } = {}) {
  const s = await openCalculator(menu, "ток плавления проводов", "токи плавления проводов");
  await s.expectDisabled("ввод данных: d,мм");
  await s.choose("медь", { disables: ["латунь", "железо", "аллюминий"] });
  await s.choose("от0,2мм", { enables: ["Iпл при заданном d", "d при заданном Iпл"],
                              disables: ["0,002-0,2 мм"] });
  await s.choose("Iпл при заданном d", { enables: ["ввод данных: d,мм"],
                                         disables: ["d при заданном Iпл"] });
  await s.expectDisabled("I,A");
  await s.type("ввод данных: d,мм", "0.5");
  await s.calculate({ "Iплавл, А": "28.28427", "результат: d,мм": "0.5" });
  return stay ? s : s.toMenu();
}

export const CALCULATORS = { crossSection, ohmLaw, reactance, impedance, fusingCurrent };
