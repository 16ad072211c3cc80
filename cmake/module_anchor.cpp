// The module's code lives in the area libraries linked whole into it; this
// file only gives the MODULE target a translation unit of its own.
