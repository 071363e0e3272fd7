#include "uicore/feed_doc.h"

namespace vexa {

void CFeedDoc::UpdateAllViews(const LinkUpdate& update) { emit ViewUpdate(update); }

void CFeedDoc::InitialUpdate() { emit ViewInitialUpdate(); }

}  // namespace vexa
