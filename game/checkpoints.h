// A stage's checkpoints as the player counts them: its crystals (each a run
// of adjacent checkpoint cells in one row) numbered 1, 2, ... from the left
// (by first column, then row), and where a character stands on one. Splits,
// best segments and practice all name a checkpoint by this number.
//
// Everything here reads the stage now in tileMap, which must be loaded.
#pragma once
#include <vector>
#include "game/stage.h"

// The stage's crystals in checkpoint order; empty for a stage without any.
std::vector<CrystalSpan> StageCrystals();
// The number (1..) of crystal in crystals, 0 when it is none of them.
int CheckpointNumber(const std::vector<CrystalSpan>& crystals, const CrystalSpan& crystal);
// The camera of a character standing still on the middle of crystal, its
// middle foot on the crystal: a respawn point that holds it (HeldCrystal
// gives crystal back).
void CrystalStandPoint(const CrystalSpan& crystal, int* camX, int* camY);
