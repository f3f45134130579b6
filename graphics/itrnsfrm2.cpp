// ITransformMatrix: conversion to and from the native world-transform record.
#include "itrnsfrm.hpp"

#include <windows.h>

ITransformMatrix::ITransformMatrix(const XFORM& form) noexcept
    : fElement{form.eM11, form.eM12, form.eM21, form.eM22, form.eDx, form.eDy}
{
}

XFORM ITransformMatrix::xform() const noexcept
{
    return XFORM{fElement[0], fElement[1], fElement[2], fElement[3], fElement[4], fElement[5]};
}
