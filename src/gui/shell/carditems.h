#pragma once

namespace korvalo {

class Document;
class Menus;

// The Card menu's items that act on the current card (settings, node table, duplicate,
// delete) are greyed while no card is chosen, and follow the document from then on.
void GreyCardItemsWithoutCard(Menus &menus, Document &document);

} // namespace korvalo
