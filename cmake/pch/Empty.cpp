// The translation unit that makes a precompiled header (cmake/Precompiled.cmake); nothing of its own.
