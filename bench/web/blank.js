// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later
document.documentElement.dataset.ready = "1";
document.querySelector("button").addEventListener("click", (event) => {
    event.target.dataset.answered = "1";
});
