void TarnwickCorePlaceholder() {}
