// The precompiled Qt headers that the tests share are built with this file.
