// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class AppState;
class Navigator;

// Registers the factory of every window that exists so far; the navigator creates
// each one on first use.
void registerViews(Navigator& nav, AppState& app);
