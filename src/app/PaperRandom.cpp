#include "app/PaperRandom.h"

TPaperRandom& PaperRandom() {
  static TPaperRandom generator;
  return generator;
}
