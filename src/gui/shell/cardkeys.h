#pragma once

#include <functional>

class QWidget;

namespace korvalo {


class Document;

// Stepping through the cards from the keyboard anywhere in `window`: Ctrl+PgDown and
// Ctrl+PgUp the next and previous card, Ctrl+Home and Ctrl+End the first and last.
// `switchToCard` is the same switch the card list uses. Nothing happens beyond the ends.
void AddCardKeys(QWidget *window, const Document &document,
                 const std::function<void(int card)> &switchToCard);

} // namespace korvalo
