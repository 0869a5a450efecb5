#pragma once
// The button sizes, in pixels, that the window lays out: the options dialog accepts
// just these, and a stored value outside them is held to them when laid out.

const int kButtonSizeMin = 8;
const int kItemButtonSizeMax = 512; // one face: 508 x 508 x 4 bytes at most
const int kPageButtonWidthMax = 2048;
