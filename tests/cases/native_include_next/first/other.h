#error the first directory has no layer.h, this one must not be read
