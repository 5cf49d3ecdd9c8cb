#pragma once
// Small value types shared by the controls.

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
