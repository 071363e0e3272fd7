#include "uicore/feed_doc.h"

namespace vexa {

void CFeedDoc::UpdateAllViews(int hint) { emit ViewUpdate(hint); }

void CFeedDoc::InitialUpdate() { emit ViewInitialUpdate(); }

}  // namespace vexa
