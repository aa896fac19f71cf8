// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Document;
class YearStore;
struct SyncPlan;

// Writes the document part of a sync plan (SyncPlan::edits) into `store`, all of it or
// nothing: false, with the reason in Japanese, when a text would be longer than a
// document takes or the document would grow too large to open (DocLimits::refusal).
bool Sync_Apply(YearStore& store, const SyncPlan& plan, QString* error);
// The same into an open document, as one edit.
bool Sync_ApplyToDocument(Document& document, const SyncPlan& plan, QString* error);
